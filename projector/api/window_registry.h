// What the API sees of the projector's windows: the open windows by name, the
// window definitions of the settings, and the screen. The projector
// application implements these over its real windows; tests use fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One open projector window. Rectangles are outer rectangles in screen pixels.
class ProjectorWindowApi {
  public:
    virtual ~ProjectorWindowApi() = default;

    virtual WindowRect OuterRect() const = 0;
    virtual void MoveTo(int left, int top) = 0;            // size and Z order unchanged
    virtual void ResizeTo(int width, int height) = 0;      // position and Z order unchanged
    virtual void MoveToAndRepaint(int left, int top) = 0;  // "center"
    // Through the window's close operation; the object may be gone afterwards.
    virtual void Close() = 0;
    virtual void SetFullScreen(bool on) = 0;
    virtual void Maximize() = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    virtual bool IsMaximized() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual bool IsVisible() const = 0;
    virtual void Show(bool visible) = 0;  // current size and position
    virtual void BringToFront() = 0;
    // To the bottom of the Z order, without moving it.
    virtual void SendToBack() = 0;
    virtual std::string Title() const = 0;  // at most 255 bytes
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetDragFlag(bool on) = 0;
};

class WindowRegistry {
  public:
    virtual ~WindowRegistry() = default;

    // The first open window of that name in opening order (exact,
    // case-sensitive), or null. Not owned.
    virtual ProjectorWindowApi* FindOpenWindow(std::string_view name) = 0;

    // Creates and shows a further window of the definition with that name;
    // false when no definition has it or the window cannot be created.
    virtual bool OpenWindow(std::string_view definitionName) = 0;

    // The main window's definition name, then the additional windows' in
    // settings order.
    virtual std::vector<std::string> WindowDefinitionNames() const = 0;

    virtual int PrimaryScreenWidth() const = 0;
    virtual int PrimaryScreenHeight() const = 0;
};

}  // namespace kestrel
