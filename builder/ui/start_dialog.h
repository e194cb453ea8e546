// The dialog every run and every New begins with: start from a movie, start
// empty, or open a project (from the recent list or by browsing).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "builder/preferences.h"
#include "builder/recent_list.h"
#include "builder/ui/file_dialogs.h"

namespace kestrel {

struct StartDialogArgs {
    HWND owner = nullptr;
    Preferences* preferences = nullptr;          // not owned: the start command is kept there
    const RecentList* recentProjects = nullptr;  // not owned
    FileDialogs* dialogs = nullptr;              // not owned
    // Opens a project, showing its own error boxes; true on success.
    std::function<bool(const std::string&)> openProject;
    // A movie was chosen for a new project; false when its header is unreadable.
    std::function<bool(const std::string&)> useMovie;
};

// IDOK or IDCANCEL.
INT_PTR RunStartDialog(const StartDialogArgs& args);

}  // namespace kestrel
