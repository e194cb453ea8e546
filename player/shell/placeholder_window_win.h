// The player's heartbeat: a hidden top-level window of class "SWFlash_PlaceholderX"
// in the host's thread. Its timer 3 drives the movie's clock, and every beat posts
// message 1025 to it, which the host watches to know the player is alive (a host
// that sees no 1025 for a while ticks the instance itself with event 275).
#pragma once

#include <windows.h>

#include "common/win_handles.h"

namespace kestrel::shell {

class PlaceholderListener {
  public:
    virtual void heartbeat() = 0;  // timer 3
    virtual void wake() = 0;       // work queued for the message loop
  protected:
    ~PlaceholderListener() = default;
};

class PlaceholderWindow {
  public:
    static constexpr UINT kHeartbeatMessage = 0x401;  // 1025
    static constexpr UINT_PTR kTimerId = 3;

    PlaceholderWindow() = default;
    ~PlaceholderWindow() { destroy(); }
    PlaceholderWindow(const PlaceholderWindow&) = delete;
    PlaceholderWindow& operator=(const PlaceholderWindow&) = delete;

    // listener is not owned and must outlive the window (destroy() first).
    bool create(PlaceholderListener* listener, UINT intervalMs);
    void destroy();
    void setInterval(UINT intervalMs);
    void postHeartbeat() const;
    // Makes the listener's wake() run from the message loop soon.
    void postWake() const;
    HWND handle() const { return window_.get(); }

    // Unregisters the window class (library shutdown).
    static void UnregisterClassOnce();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    OwnedWindow window_;
};

}  // namespace kestrel::shell
