// What the settings pages reach of the main window: the project and its
// editor, the current window, the recent movies, the dialogs and the
// preferences. The main window implements it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "builder/preferences.h"
#include "builder/project.h"
#include "builder/project_editor.h"
#include "builder/ui/file_dialogs.h"

namespace kestrel {

class PageHost {
  public:
    virtual ~PageHost() = default;

    virtual Project& CurrentProject() = 0;
    // For the window operations (add, remove, rename); call EditDone after.
    virtual ProjectEditor& Editor() = 0;
    // Runs `change` as one undoable edit, then updates Undo and Redo.
    virtual EditResult PerformEdit(const std::function<void(Project&)>& change) = 0;
    // Updates Undo, Redo and the title after an edit made through Editor().
    virtual void EditDone(EditResult result) = 0;

    // Makes `window` the project's current window (none allowed) and
    // refreshes every page.
    virtual void SetCurrentWindow(WindowData* window) = 0;
    // Reloads every page from the model.
    virtual void RefreshAllPages() = 0;
    // A movie was chosen for a window.
    virtual void AddRecentMovie(const std::string& path) = 0;

    virtual FileDialogs& Dialogs() = 0;
    // The custom colours of the colour chooser live here.
    virtual Preferences& UserPreferences() = 0;
    // Shows a progress or status text in the main window's status line.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual HWND MainWindowHandle() const = 0;
};

}  // namespace kestrel
