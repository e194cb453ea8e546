// The settings pages as the main window sees them: the "Windows" and
// "Output" tabs of its tab control and the separate settings window with the
// Setup, Window, Input and Flash tabs.
#pragma once

#include <windows.h>

#include <memory>

#include "builder/window_data.h"

namespace kestrel {

class PageHost;

class MainPages {
  public:
    virtual ~MainPages() = default;

    // Reloads every page from the model.
    virtual void RefreshAll() = 0;
    // Applies text typed into a box that still has the focus (a toolbar
    // click takes no focus): before Save, Export and the exit prompt.
    virtual void ApplyPendingEdits() = 0;

    // The main window's tabs: 0 "Windows", 1 "Output".
    virtual void SelectMainTab(int index) = 0;
    // Call on the tab control's TCN_SELCHANGE.
    virtual void ShowSelectedMainTab() = 0;
    // The main window grew by these deltas (each at least 0) beyond its
    // initial client size: grow the pages from their initial size and lay out
    // their controls. The main window moves the tab control itself.
    virtual void Layout(int deltaWidth, int deltaHeight) = 0;

    // The settings window (tabs 0 Setup, 1 Window, 2 Input, 3 Flash); null
    // when there is none.
    virtual HWND SettingsWindow() const = 0;
    virtual void SelectSettingsTab(int index) = 0;
    virtual int SettingsTab() const = 0;
    virtual void ShowSettingsWindow(bool shown) = 0;

    virtual WindowData* CurrentWindow() const = 0;
};

// Creates the two main pages inside `tabControl` (ids 2200 and 2201) and the
// settings window (2000) owned by `mainWindow`.
std::unique_ptr<MainPages> CreateMainPages(PageHost& host, HWND mainWindow, HWND tabControl);

}  // namespace kestrel
