#pragma once
// The program's start-up: splash, server login, connection, user login, then
// the main window. Nothing is retried: a failure shows one message and ends.
#include <memory>

class TFmain;
class WindowCatalog;
struct AppContext;

struct StartupOptions {
    int splashMs = 3000;
};

// Returns the main window, or nullptr when the program is to end.
std::unique_ptr<TFmain> RunStartup(AppContext &app, const WindowCatalog &catalog, const StartupOptions &options = {});
