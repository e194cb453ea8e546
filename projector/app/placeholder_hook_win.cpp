#include "projector/app/placeholder_hook_win.h"

#include <map>

#include "common/callback_guard.h"
#include "projector/app/plugin_instance_win.h"

namespace kestrel::projector {
namespace {

// Hooked placeholder windows and their hooks. The window belongs to the
// player, so its user data and properties are left alone.
std::map<HWND, PlaceholderHook*>& Hooks() {
    static std::map<HWND, PlaceholderHook*> hooks;
    return hooks;
}

bool IsPlaceholder(HWND window) {
    char name[64];
    const int length = GetClassNameA(window, name, sizeof name);
    return length > 0 && lstrcmpiA(name, kPlaceholderWindowClass) == 0;
}

struct Search {
    HWND found = nullptr;
};

// Answers whether to go on looking.
BOOL CALLBACK ConsiderWindow(HWND window, LPARAM context) {
    return GuardedCall<BOOL>(FALSE, [&] {
        auto* search = reinterpret_cast<Search*>(context);
        if (IsPlaceholder(window) && Hooks().count(window) == 0) search->found = window;
        return search->found ? FALSE : TRUE;
    });
}

BOOL CALLBACK ConsiderTopLevelWindow(HWND window, LPARAM context) {
    return GuardedCall<BOOL>(FALSE, [&] {
        if (!ConsiderWindow(window, context)) return FALSE;
        // A player may give its placeholder a parent (all descendants are listed).
        EnumChildWindows(window, ConsiderWindow, context);
        return reinterpret_cast<Search*>(context)->found ? FALSE : TRUE;
    });
}

LONGLONG CounterNow() {
    LARGE_INTEGER now;
    return QueryPerformanceCounter(&now) ? now.QuadPart : 0;
}

}  // namespace

bool PlaceholderHook::install(PluginInstance& instance) {
    remove();
    Search search;
    EnumThreadWindows(GetCurrentThreadId(), ConsiderTopLevelWindow,
                      reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;

    LARGE_INTEGER frequency;
    frequency_ = QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
    lastHeartbeat_ = 0;
    instance_ = &instance;
    window_ = search.found;
    Hooks()[window_] = this;
    previousProcedure_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlaceholderHook::HookProcedure)));
    if (!previousProcedure_) {
        Hooks().erase(window_);
        window_ = nullptr;
        instance_ = nullptr;
        return false;
    }
    return true;
}

void PlaceholderHook::remove() {
    if (!window_) return;
    // Only put the old procedure back while ours is the one installed: anyone
    // who hooked the window after us would otherwise lose their place.
    if (IsWindow(window_) && GetWindowLongPtrA(window_, GWLP_WNDPROC) ==
                                 reinterpret_cast<LONG_PTR>(&PlaceholderHook::HookProcedure))
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
    Hooks().erase(window_);
    window_ = nullptr;
    instance_ = nullptr;
    previousProcedure_ = nullptr;
}

LRESULT CALLBACK PlaceholderHook::HookProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    // Fallback 0: a message whose handling threw counts as handled.
    return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
        auto found = Hooks().find(window);
        if (found == Hooks().end()) return DefWindowProcA(window, message, wParam, lParam);
        return found->second->handle(message, wParam, lParam);
    });
}

LRESULT PlaceholderHook::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // Copied first: the tick below may end the instance and this hook with it.
    HWND window = window_;
    const WNDPROC previous = previousProcedure_;
    // A tick that throws is skipped; the message still reaches the player.
    GuardedCall([&] {
        if (message == kPlaceholderHeartbeat) {
            lastHeartbeat_ = CounterNow();
        } else if (message == WM_TIMER && wParam == kPlaceholderTimerId) {
            if (frequency_ > 0 && CounterNow() - lastHeartbeat_ > frequency_ && instance_)
                instance_->deliverEvent(kKeepAliveEvent, kKeepAliveParameter, 0);
        } else if (message == WM_NCDESTROY) {
            // The player's window goes on its own: forget it, keep the chain intact.
            remove();
        }
    });
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace kestrel::projector
