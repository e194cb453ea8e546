#include "builder/ui/message_loop.h"
#include "common/callback_guard.h"

namespace kestrel {
namespace {

// The loop, the dialogs and the hook all run on the one user-interface thread.
HWND gActiveDialog = nullptr;
HWND gAcceleratorTarget = nullptr;
HACCEL gAccelerators = nullptr;
HHOOK gHook = nullptr;

LRESULT CALLBACK TranslateForTarget(int code, WPARAM wParam, LPARAM lParam) {
    return GuardedCall(static_cast<LRESULT>(0), [&]() -> LRESULT {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && message && gAcceleratorTarget &&
            gAccelerators && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST &&
            IsWindowEnabled(gAcceleratorTarget)) {
            if (TranslateAcceleratorA(gAcceleratorTarget, gAccelerators, message)) {
                // Matched: the key message must not reach its window too.
                message->message = WM_NULL;
            }
        }
        return CallNextHookEx(gHook, code, wParam, lParam);
    });
}

}  // namespace

void SetActiveDialog(HWND dialog) {
    gActiveDialog = dialog;
}
HWND ActiveDialog() {
    return gActiveDialog;
}

AcceleratorHook::AcceleratorHook(HWND target, HACCEL accelerators) {
    if (gHook) return;
    gAcceleratorTarget = target;
    gAccelerators = accelerators;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, TranslateForTarget, nullptr, GetCurrentThreadId());
    gHook = hook_;
}

AcceleratorHook::~AcceleratorHook() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    gHook = nullptr;
    gAcceleratorTarget = nullptr;
    gAccelerators = nullptr;
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) return -1;
        if (got == 0) break;
        if (message.message == WM_NULL) continue;  // an accelerator the hook translated
        HWND dialog = gActiveDialog;
        if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace kestrel
