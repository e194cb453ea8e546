#include "projector/app/modal_window_win.h"

#include "common/callback_guard.h"
#include "projector/app/application_win.h"

namespace kestrel::projector {
namespace {

// A dialog template without items: the header, then empty menu, class and
// title fields (the default dialog class, no menu, no title).
struct alignas(4) ModalTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

constexpr INT_PTR kDialogFailed = -1;

}  // namespace

ModalWindow::ModalWindow(Application& application, WindowDefinition& definition, bool isMain)
    : ProjectorWindow(application, definition, isMain) {
    modal_ = true;
}

bool ModalWindow::create() {
    const WindowStyleBits bits = StyleBitsFor(definition_);
    RECT outer{0, 0, definition_.width, definition_.height};
    AdjustWindowRectEx(&outer, bits.style, FALSE, bits.exStyle);

    // The template measures in dialog units; the attach step sets the real
    // size and place afterwards.
    const LONG baseUnits = GetDialogBaseUnits();
    const int baseX = LOWORD(baseUnits) > 0 ? LOWORD(baseUnits) : 1;
    const int baseY = HIWORD(baseUnits) > 0 ? HIWORD(baseUnits) : 1;
    ModalTemplate dialog{};
    dialog.header.style = bits.style;
    dialog.header.dwExtendedStyle = bits.exStyle;
    dialog.header.cdit = 0;
    dialog.header.x = static_cast<short>(outer.left);
    dialog.header.y = static_cast<short>(outer.top);
    dialog.header.cx = static_cast<short>((outer.right - outer.left) * 4 / baseX);
    dialog.header.cy = static_cast<short>((outer.bottom - outer.top) * 8 / baseY);

    ProjectorWindow* main = application_.mainWindow();
    runningDialog_ = true;
    const INT_PTR result = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), &dialog.header, main ? main->handle() : nullptr,
        &ModalWindow::DialogProcedure, reinterpret_cast<LPARAM>(this));
    runningDialog_ = false;
    return result != kDialogFailed && attached_;
}

bool ModalWindow::initialise(HWND dialog) {
    window_.reset(dialog);
    if (!attachMovie()) return false;
    attached_ = true;
    application_.adoptOpening(this);
    return true;
}

LRESULT ModalWindow::handleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            EndDialog(dialog, 0);
            close();
            return TRUE;
        case WM_GETDLGCODE:
            // Every key reaches the window as it does in other styles: Escape
            // follows "exit_on_escape" instead of cancelling the dialog.
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, DLGC_WANTALLKEYS | DLGC_WANTCHARS);
            return TRUE;
        default:
            break;
    }
    unhandled_ = false;
    const LRESULT result = handleMessage(message, wParam, lParam);
    if (unhandled_) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK ModalWindow::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    return GuardedCall<INT_PTR>(FALSE, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ModalWindow*>(lParam);
            if (!self) return FALSE;
            SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
            if (!self->initialise(dialog)) {
                SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
                EndDialog(dialog, kDialogFailed);
            }
            return TRUE;
        }
        auto* self = reinterpret_cast<ModalWindow*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        if (!self || self->window_.get() != dialog) return FALSE;
        return self->handleDialogMessage(dialog, message, wParam, lParam);
    });
}

}  // namespace kestrel::projector
