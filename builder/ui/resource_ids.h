// Resource numbers of the builder's shell: main window, start dialog,
// splash, About, Preferences, menu, accelerators, toolbar and strings. The
// settings pages' numbers are in page_ids.h. Included by kestrel.rc, so only
// preprocessor definitions.
#pragma once

// Dialog templates and the identifiers of their windows.
#define IDD_ABOUT 100
#define IDD_MAIN_WINDOW 129
#define IDD_SPLASH 210
#define IDD_START 211
#define IDD_PREFERENCES 213
#define IDD_PREFERENCES_GENERAL 214
#define IDD_PREFERENCES_UPDATES 215
#define ID_MAIN_WINDOW 2001
#define ID_SETTINGS_FRAME 2000  // the settings window
#define ID_PAGE_WINDOWS 2200
#define ID_PAGE_OUTPUT 2201
#define ID_PAGE_PREFERENCES_GENERAL 4000
#define ID_PAGE_PREFERENCES_UPDATES 4001

// Other resources.
#define IDI_KESTREL 128
#define IDR_ACCELERATORS 128
#define IDR_MAIN_MENU 201
#define IDB_ARTWORK 218  // PNG, type "GFXX", 300 x 200
#define RT_ARTWORK "GFXX"
#define IDB_TOOLBAR 219
#define IDR_PROJECTOR_STUB 220  // skylet.exe, type "SKRW"

// Menu commands.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 32783
#define ID_FILE_EXPORT 32784
#define ID_FILE_RECENT_PROJECTS 32777
#define ID_FILE_RECENT_SWFS 32778
#define ID_FILE_EXIT 32785
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_EDIT_PREFERENCES 32786
#define ID_SETTINGS_TAB_SETUP 32795
#define ID_SETTINGS_TAB_WINDOW 32796
#define ID_SETTINGS_TAB_INPUT 32797
#define ID_SETTINGS_TAB_FLASH 32798
#define ID_HELP_CONTENTS 57670
#define ID_HELP_ABOUT 32788
// Submenus that the recent lists replace the two File items with.
#define ID_RECENT_PROJECTS_MENU 3000
#define ID_RECENT_SWFS_MENU 3001
// Positions of those two items in the File menu.
#define FILE_MENU_RECENT_PROJECTS_POSITION 8
#define FILE_MENU_RECENT_SWFS_POSITION 9

// Main window controls.
#define IDC_MAIN_TABS 1034
#define IDC_STATUS_LINE 1094
#define IDC_TOOLBAR 1095

// Start dialog.
#define IDC_START_FROM_SWF 1020
#define IDC_START_EMPTY 1021
#define IDC_START_OPEN 1027
#define IDC_START_RECENT_LIST 1002
#define IDC_START_BROWSE 1093

// Splash and About.
#define IDC_ARTWORK 1100
#define IDC_VERSION_LINE 1101
#define IDC_SECOND_LINE 1102
#define IDC_COPYRIGHT_LINE 1103

// Preferences.
#define IDC_PREFERENCES_TABS 1028
#define IDC_PREFERENCES_CHECK_NOW 1029
#define IDC_PREFERENCES_AUTO_CHECK 1030
#define IDC_PREFERENCES_RECENT_PROJECTS 1031
#define IDC_PREFERENCES_RECENT_SWFS 1032
#define IDC_PREFERENCES_FULL_PATH 1033

// Strings.
#define IDS_ERROR 129
#define IDS_UPDATE_FAILED 132
#define IDS_NO_UPDATES 133
#define IDS_UPDATE_AVAILABLE 134
#define IDS_SOFTWARE_UPDATES 135
#define IDS_QUICKTIME_REQUIRED 139
#define IDS_NUMBER_0 148  // "0" to "10": 148 to 158
#define IDS_SAVE_CHANGES_CAPTION 159
#define IDS_SAVE_CHANGES 160
#define IDS_INVALID_PROJECT 161
#define IDS_CANNOT_OPEN_PROJECT 162
#define IDS_CANNOT_READ_PROJECT 163
#define IDS_CANNOT_CREATE_PROJECT 164
#define IDS_CANNOT_WRITE_PROJECT 165
#define IDS_CANNOT_CREATE_TEMP 168
#define IDS_SOFTWARE_UPDATE 176
#define IDS_UPDATE_AVAILABLE_AUTO 177
#define IDS_CHOOSE_SWF 183
#define IDS_EXPORT_FAILED 285
#define IDS_EXPORT_FINISHED 286
#define IDS_EXPORTING 287
// The shell's own strings; the pages use 140 and 184 to 299.
#define IDS_GENERAL_TAB 310
#define IDS_UPDATES_TAB 311
#define IDS_PROGRAM_NAME 312
#define IDS_VERSION_FORMAT 313
#define IDS_SECOND_LINE 314
#define IDS_COPYRIGHT 315
#define IDS_SELECTION_TOO_LONG 317
#define IDS_UNTITLED 318
#define IDS_EXPORT_NOTHING 319
// Toolbar tooltips carry their command's number.
