#include "player/shell/placeholder_window_win.h"

#include "common/callback_guard.h"

namespace kestrel::shell {
namespace {

constexpr char kClassName[] = "SWFlash_PlaceholderX";
constexpr UINT kWakeMessage = WM_APP + 0x31;
// A window property, not the user data: a host that hooks the window may use that.
constexpr char kListenerProperty[] = "KestrelPlayerListener";

ATOM g_class = 0;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

LRESULT CALLBACK PlaceholderWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    // The listener runs the movie's scripts: a beat that throws is skipped.
    return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
        auto* listener = static_cast<PlaceholderListener*>(GetPropA(window, kListenerProperty));
        if (listener) {
            if (message == WM_TIMER && wParam == kTimerId) {
                listener->heartbeat();
                return 0;
            }
            if (message == kWakeMessage) {
                listener->wake();
                return 0;
            }
            if (message == kHeartbeatMessage) return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    });
}

bool PlaceholderWindow::create(PlaceholderListener* listener, UINT intervalMs) {
    if (window_) return true;
    HINSTANCE module = ThisModule();
    if (!g_class) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kClassName;
        g_class = RegisterClassA(&windowClass);
        if (!g_class) return false;
    }
    // Top-level and hidden: the host finds it among its thread's windows.
    window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, module, nullptr));
    if (!window_) return false;
    SetPropA(window_.get(), kListenerProperty, listener);
    SetTimer(window_.get(), kTimerId, intervalMs, nullptr);
    postHeartbeat();
    return true;
}

void PlaceholderWindow::destroy() {
    if (!window_) return;
    KillTimer(window_.get(), kTimerId);
    RemovePropA(window_.get(), kListenerProperty);
    window_.reset();
}

void PlaceholderWindow::setInterval(UINT intervalMs) {
    if (window_.get()) SetTimer(window_.get(), kTimerId, intervalMs, nullptr);
}

void PlaceholderWindow::postHeartbeat() const {
    if (window_.get()) PostMessageA(window_.get(), kHeartbeatMessage, 0, 0);
}

void PlaceholderWindow::postWake() const {
    if (window_.get()) PostMessageA(window_.get(), kWakeMessage, 0, 0);
}

void PlaceholderWindow::UnregisterClassOnce() {
    if (!g_class) return;
    UnregisterClassA(kClassName, ThisModule());
    g_class = 0;
}

}  // namespace kestrel::shell
