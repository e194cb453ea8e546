// The projector process from start to end: unpacking, settings, the plug-in,
// the windows, the main loop and the clean-up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/payload_reader.h"
#include "common/win_handles.h"
#include "common/window_definition.h"
#include "projector/api/menu_commands.h"
#include "projector/app/plugin_library_win.h"
#include "projector/app/projector_window_win.h"

namespace kestrel::projector {

class Application {
  public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The whole run; returns the process exit code (0, or -1 when start-up failed).
    int run();

    // Opens a projector window for `definition`, adds it to the open windows,
    // starts its movie and shows it with `showCommand` (SW_HIDE, SW_SHOWNORMAL,
    // SW_SHOW). False when the window cannot be created. A modal window shows
    // itself and has ended (and left the list) by the time this returns.
    bool open(WindowDefinition& definition, bool isMain, int showCommand);
    // A modal window's dialog has been initialised: the window joins the open
    // windows and its movie starts.
    void adoptOpening(ProjectorWindow* window);
    // The first open window whose definition has this name (exact match).
    ProjectorWindow* find(const std::string& name) const;

    // A window's system window is gone: it leaves the list; the main window's
    // end also ends the main loop.
    void windowDestroyed(ProjectorWindow* window);

    ProjectorWindow* mainWindow() const { return mainWindow_; }
    // The main window's definition with the additional windows' definitions.
    WindowDefinition& mainDefinition() { return mainDefinition_; }
    const std::string& unpackFolder() const { return unpackFolder_; }
    const NPPluginFuncs& pluginFunctions() const { return plugin_.functions(); }

    // The system's UpdateLayeredWindow, or null where there is none.
    using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*,
                                                      COLORREF, BLENDFUNCTION*, DWORD);
    UpdateLayeredWindowFunction updateLayeredWindow() const { return updateLayeredWindow_; }
    LONGLONG counterFrequency() const { return counterFrequency_; }
    // The command ids of every window's menu items.
    MenuCommands& menuCommands() { return menuCommands_; }

  private:
    bool load();
    bool start();
    bool writePluginLibrary();
    bool registerWindowClass();
    void lookUpSystemFunctions();
    void shutDown();
    void listAndStart(std::unique_ptr<ProjectorWindow> window);
    void releaseClosedWindows();
    static void ReleaseClosedWindowsTask(void* application);

    std::string unpackFolder_;
    std::string pluginPath_;
    std::unique_ptr<PayloadReader> reader_;  // made once the unpack folder exists
    // Outlives the windows, whose menu families hold ids.
    MenuCommands menuCommands_;
    WindowDefinition mainDefinition_;
    PluginLibrary plugin_;
    // Windows being created, not yet listed (a modal window until its dialog
    // is initialised); modal windows nest, so more than one.
    std::vector<std::unique_ptr<ProjectorWindow>> openingWindows_;
    std::vector<std::unique_ptr<ProjectorWindow>> openWindows_;
    // Closed windows wait here until their window procedure has returned.
    std::vector<std::unique_ptr<ProjectorWindow>> closedWindows_;
    ProjectorWindow* mainWindow_ = nullptr;
    int failureCode_ = 0;
    std::string failureText_;  // the plug-in loader's own words, shown in place of the code
    UpdateLayeredWindowFunction updateLayeredWindow_ = nullptr;
    LoadedModule user32_;
    LONGLONG counterFrequency_ = 0;
};

}  // namespace kestrel::projector
