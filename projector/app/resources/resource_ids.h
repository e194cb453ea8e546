// Resource numbers of the projector stub. The builder and existing projectors
// rely on these numbers; do not renumber.
#pragma once

#define IDS_PROGRAM_NAME 103      // "Skylet"
#define IDS_ERROR_CAPTION 104     // "Error"
#define IDS_INVALID_SETTINGS 105  // "Invalid Settings"
#define IDS_INIT_FAILED 106       // "The program failed to initialize: %d"
#define IDS_PROGRAM_KEY 109       // "SKYLET"

#define IDI_PROJECTOR 107      // window class icon group
#define IDM_PROJECTOR_BAR 109  // menu bar: one item "File", command 0
#define IDM_PROJECTOR_CONTEXT \
    131  // context menu: one submenu (emptied when loaded), shown on a right click
#define IDR_PLUGIN_LIBRARY 130  // npfp.dll, custom type "NPFP"
#define RT_PLUGIN_LIBRARY "NPFP"
