// Keeps a plug-in instance ticking when its player stops ticking itself. The
// player runs timer 3 on a hidden window of class "SWFlash_PlaceholderX" and
// posts it message 1025 on every beat it makes; when the timer still fires
// but no beat has come for a second, the host ticks the instance with the
// timer event 275 (first parameter 1).
#pragma once

#include <windows.h>

namespace kestrel::projector {

class PluginInstance;

inline constexpr char kPlaceholderWindowClass[] = "SWFlash_PlaceholderX";
inline constexpr UINT kPlaceholderHeartbeat = 0x401;  // 1025
inline constexpr UINT_PTR kPlaceholderTimerId = 3;
inline constexpr UINT kKeepAliveEvent = WM_TIMER;  // 275
inline constexpr WPARAM kKeepAliveParameter = 1;

class PlaceholderHook {
  public:
    PlaceholderHook() = default;
    ~PlaceholderHook() { remove(); }
    PlaceholderHook(const PlaceholderHook&) = delete;
    PlaceholderHook& operator=(const PlaceholderHook&) = delete;

    // Finds a placeholder window of this thread that nobody hooked yet (the
    // player's windows are top-level; their children are searched too) and
    // hooks it for `instance`, which must outlive the hook or call remove().
    bool install(PluginInstance& instance);
    // Puts the placeholder's own procedure back.
    void remove();

    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;               // not owned: the player's
    PluginInstance* instance_ = nullptr;  // not owned
    WNDPROC previousProcedure_ = nullptr;
    LONGLONG lastHeartbeat_ = 0;  // counter value of the last 1025
    LONGLONG frequency_ = 0;      // counter ticks per second
};

}  // namespace kestrel::projector
