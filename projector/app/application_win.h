// The projector process from start to end: unpacking, settings, the plug-in,
// the windows, the main loop and the clean-up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/payload_reader.h"
#include "common/window_definition.h"
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

    // Opens a projector window for `definition`, adds it to the open windows
    // and starts its movie. Null when the window cannot be created.
    ProjectorWindow* open(WindowDefinition& definition, bool isMain);
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
    using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                      BLENDFUNCTION*, DWORD);
    UpdateLayeredWindowFunction updateLayeredWindow() const { return updateLayeredWindow_; }
    LONGLONG counterFrequency() const { return counterFrequency_; }

private:
    bool load();
    bool start();
    bool writePluginLibrary();
    bool registerWindowClass();
    void lookUpSystemFunctions();
    void shutDown();
    void releaseClosedWindows();
    static void ReleaseClosedWindowsTask(void* application);

    std::string unpackFolder_;
    std::string pluginPath_;
    std::unique_ptr<PayloadReader> reader_;  // made once the unpack folder exists
    WindowDefinition mainDefinition_;
    PluginLibrary plugin_;
    std::vector<std::unique_ptr<ProjectorWindow>> openWindows_;
    // Closed windows wait here until their window procedure has returned.
    std::vector<std::unique_ptr<ProjectorWindow>> closedWindows_;
    ProjectorWindow* mainWindow_ = nullptr;
    int failureCode_ = 0;
    std::string failureText_;  // the plug-in loader's own words, shown in place of the code
    UpdateLayeredWindowFunction updateLayeredWindow_ = nullptr;
    HMODULE user32_ = nullptr;
    LONGLONG counterFrequency_ = 0;
};

}  // namespace kestrel::projector
