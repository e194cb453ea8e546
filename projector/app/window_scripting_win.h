// What connects one projector window to the script bridge and the API: the
// window's API object, its answer to the plug-in's host callback, calls into
// its movie, and the views of the window and the application that the API
// families work on.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "projector/api/api_object.h"
#include "projector/api/file_system_host_win.h"
#include "projector/api/menu_system_win.h"
#include "projector/api/registry_host_win.h"
#include "projector/app/desktop_api_win.h"
#include "projector/bridge/script_bridge.h"
#include "projector/bridge/url_loader.h"

namespace kestrel::projector {

class Application;
class ProjectorWindow;

// The "Window." family's view of one projector window.
class SystemWindowApi : public ProjectorWindowApi {
  public:
    explicit SystemWindowApi(ProjectorWindow& window) : window_(window) {}

    WindowRect OuterRect() const override;
    void MoveTo(int left, int top) override;
    void ResizeTo(int width, int height) override;
    void MoveToAndRepaint(int left, int top) override;
    void Close() override;
    void SetFullScreen(bool on) override;
    void Maximize() override;
    void Minimize() override;
    void Restore() override;
    bool IsMaximized() const override;
    bool IsMinimized() const override;
    bool IsVisible() const override;
    void Show(bool visible) override;
    void BringToFront() override;
    void SendToBack() override;
    std::string Title() const override;
    void SetTitle(const std::string& title) override;
    void SetDragFlag(bool on) override { dragging_ = on; }

    // Set by "startDrag": a left press in the movie moves the window.
    bool dragging() const { return dragging_; }

  private:
    HWND handle() const;

    ProjectorWindow& window_;
    bool dragging_ = false;
};

// The API's view of the application: open windows by name, the window
// definitions, the screen.
class ApplicationWindows : public WindowRegistry {
  public:
    explicit ApplicationWindows(Application& application) : application_(application) {}

    ProjectorWindowApi* FindOpenWindow(std::string_view name) override;
    bool OpenWindow(std::string_view definitionName) override;
    std::vector<std::string> WindowDefinitionNames() const override;
    int PrimaryScreenWidth() const override;
    int PrimaryScreenHeight() const override;

  private:
    Application& application_;
};

class WindowScripting : public ScriptHost, public MovieCaller {
  public:
    // Both outlive this object; the window owns it.
    WindowScripting(Application& application, ProjectorWindow& window);

    // ScriptHost: calls out of the movie and the plug-in's URL requests.
    std::optional<std::string> CallHost(std::string_view name, const std::string_view* arguments,
                                        std::size_t count) override;
    std::string MovieLocation() const override;

    // MovieCaller: calls into the window's movie.
    bool CallMovie(std::string_view name, const std::vector<std::string>& texts) override;
    // Events with 32-bit integer arguments ("onWindowResize", ...).
    bool CallMovieWithNumbers(std::string_view name, const std::vector<int32_t>& numbers);

    SystemWindowApi& windowApi() { return windowApi_; }
    ProjectorWindowMenus& menus() { return menus_; }
    ApiObject& api() { return api_; }

  private:
    ProjectorWindow& window_;
    ApplicationWindows windows_;
    SystemWindowApi windowApi_;
    HostUrlLoader urls_;
    // The families' system calls; declared before the API object that uses them
    // (its Menu family uses the menus until it ends).
    SystemFileSystem fileSystem_;
    SystemRegistry registry_;
    ProjectorWindowMenus menus_;
    DesktopApi desktop_;  // before the API object, whose families use it
    ApiObject api_;
};

}  // namespace kestrel::projector
