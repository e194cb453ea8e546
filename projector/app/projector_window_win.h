// A projector window: a top-level window of class "LK_KestrelSKWindow" that
// shows one movie through its own plug-in instance and surface.
#pragma once

#include <windows.h>

#include <memory>

#include "common/win_handles.h"
#include "common/window_definition.h"
#include "projector/app/host_surface_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/window_scripting_win.h"

namespace kestrel::projector {

class Application;

inline constexpr char kProjectorWindowClass[] = "LK_KestrelSKWindow";

// The style and extended style a standard or transparent window is made with.
struct WindowStyleBits {
    DWORD style = 0;
    DWORD exStyle = 0;
};
WindowStyleBits StyleBitsFor(const WindowDefinition& definition);

class ProjectorWindow {
  public:
    // `definition` lives in the application for the whole run.
    ProjectorWindow(Application& application, WindowDefinition& definition, bool isMain);
    virtual ~ProjectorWindow();
    ProjectorWindow(const ProjectorWindow&) = delete;
    ProjectorWindow& operator=(const ProjectorWindow&) = delete;

    // Creates the system window and attaches the movie (not yet started).
    virtual bool create();
    // Starts the plug-in instance: creates it and streams the movie.
    bool startMovie();

    // The close request: the system window goes, destruction follows.
    void close();
    // Destroys the system window if it still exists (shutdown).
    void destroySystemWindow();

    // True while a modal window's dialog loop runs: its object must stay,
    // even once the window is closed.
    virtual bool runningDialog() const { return false; }

    HWND handle() const { return window_.get(); }
    const WindowDefinition& definition() const { return definition_; }
    bool isMain() const { return isMain_; }

    // ShowWindow with `command`: start-up shows SW_SHOWNORMAL, the API SW_SHOW
    // (current size and position) and SW_HIDE.
    void show(int command);

    // Full screen: no caption or frame, topmost over the whole desktop; off
    // puts back the style and place kept when it went on.
    void setFullScreen(bool on);

    // The plug-in instance while it exists, and the window's API connection.
    PluginInstance* pluginInstance() const { return instance_.get(); }
    WindowScripting* scripting() const { return scripting_.get(); }

  protected:
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool attachMovie();
    void applySizeAndPosition(int* width, int* height);
    // The client area of a framed window is window_width by window_height,
    // the menu bar counted however many lines it takes.
    void fitClientArea();
    // A bar filled or wrapped after creation takes its height from the client
    // area: fits it again, unless the window has been resized since. True
    // when it did (its own size message has then reported the size).
    bool refitClientArea(WPARAM sizeType);
    // Called once the window has its size: a mask window takes its shape here.
    virtual void shapeWindow(int width, int height);
    void setMovieParameters();
    void paint();
    void handleDestruction();
    void restoreWindowProcedure();
    LRESULT callPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool handleMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void handleSize(WPARAM sizeType, LPARAM size);
    void handleMove(LPARAM position);
    bool pointInMovie() const;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    Application& application_;
    WindowDefinition& definition_;
    const bool isMain_;
    OwnedWindow window_;
    WNDPROC previousProcedure_ = nullptr;
    HMENU menuBar_ = nullptr;  // not owned: the window destroys its bar
    std::unique_ptr<HostSurface> surface_;
    // Lives as long as the object: a call into the API may still be running
    // when the system window goes. Declared before the instance, which calls
    // into it until it ends.
    std::unique_ptr<WindowScripting> scripting_;
    std::unique_ptr<PluginInstance> instance_;
    bool destroyed_ = false;
    // A modal window is a dialog: it keeps the dialog procedure, and an
    // unhandled message gets no default processing from us.
    bool modal_ = false;
    bool unhandled_ = false;  // set by callPrevious() for a modal window
    // The outer size fitClientArea() gave, while nobody else has changed it.
    bool fitted_ = false;
    SIZE fittedOuter_{};
    // Kept while full screen, to put the window back.
    bool fullScreen_ = false;
    RECT savedOuter_{};
    LONG_PTR savedStyle_ = 0;
    LONG_PTR savedExStyle_ = 0;
};

// Makes the window object for the definition's window type; null for an
// unknown type. The caller then calls create().
std::unique_ptr<ProjectorWindow> MakeProjectorWindow(Application& application,
                                                     WindowDefinition& definition, bool isMain);

}  // namespace kestrel::projector
