// Resource numbers of the options component.
#pragma once

// Strings
constexpr unsigned IDS_OPTIONS = 1;
constexpr unsigned IDS_INSTALLDIR_1 = 11;
constexpr unsigned IDS_INSTALLDIR_2 = 12;
constexpr unsigned IDS_CLEANUP_1 = 13;
constexpr unsigned IDS_CLEANUP_2 = 14;
constexpr unsigned IDS_SELFREG_KR = 33;
constexpr unsigned IDS_SELFREG_MSI = 34;

// Dialogs (pages)
constexpr unsigned IDD_GENERAL = 107;
constexpr unsigned IDD_FILE_LOCATIONS = 108;
constexpr unsigned IDD_PATH_VARIABLES = 109;
constexpr unsigned IDD_PREFERENCES = 110;
constexpr unsigned IDD_SOURCE_CONTROL = 111;
constexpr unsigned IDD_DIRECTORY = 112;
constexpr unsigned IDD_RESOURCE = 113;
constexpr unsigned IDD_UPDATES = 114;
constexpr unsigned IDD_DOTNET = 115;
constexpr unsigned IDD_CROSSMEND = 116;
constexpr unsigned IDD_VALIDATION = 225;
constexpr unsigned IDD_MERGE_MODULES = 226;
constexpr unsigned IDD_USER_INTERFACE = 227;

// Registry script of the class
constexpr unsigned IDR_TOOLSOPTIONS = 200;

// Controls: General
constexpr int IDC_HELP_ON_TOP = 202;
constexpr int IDC_STOP_BUILD = 203;
constexpr int IDC_AUTO_SETALLUSERS = 204;
constexpr int IDC_BEST_PRACTICES = 213;
// Preferences
constexpr int IDC_SELFREG_HEADING = 252;
constexpr int IDC_SELFREG_METHOD = 255;
constexpr int IDC_RUN_HEADING = 256;
constexpr int IDC_UNINSTALL_FIRST = 258;
// User Interface
constexpr int IDC_ALWAYS_CREATE = 201;
constexpr int IDC_CONFIRM_DELETION = 202;
constexpr int IDC_NAV_LIST = 244;
constexpr int IDC_NAV_DESCRIPTION = 245;
constexpr int IDC_VIEW_HEADING = 246;
constexpr int IDC_VIEW_LINE = 247;
constexpr int IDC_VIEW_TEXT = 248;
constexpr int IDC_VIEW_ICON = 249;
constexpr int IDC_VIEW_LABEL = 250;
constexpr int IDC_VIEW_GROUP = 251;
// Directory
constexpr int IDC_SHOW_INSTALLDIR = 220;
constexpr int IDC_CLEANUP_DIRS = 221;
constexpr int IDC_INSTALLDIR_TEXT = 231;
constexpr int IDC_CLEANUP_TEXT = 232;
// Path Variables
constexpr int IDC_CREATE_PATHVAR = 206;
constexpr int IDC_RECOMMEND = 207;
constexpr int IDC_DONT_RECOMMEND = 208;
constexpr int IDC_ALWAYS_DIALOG = 209;
