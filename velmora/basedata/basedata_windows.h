#pragma once
// The base data windows, registered by their menu item captions.
class WindowCatalog;

void registerBasedataWindows(WindowCatalog &catalog);
