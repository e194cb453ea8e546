#include <windowsx.h>

#include <cstring>

#include "builder/ui/dialog.h"
#include "builder/ui/message_loop.h"
#include "common/callback_guard.h"

namespace kestrel {
namespace {

struct EnumerationTarget {
    HWND ownedBy;
    bool onlyOwned;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM parameter) {
    return GuardedCall(TRUE, [&] {
        auto& target = *reinterpret_cast<EnumerationTarget*>(parameter);
        if (target.onlyOwned && window != target.ownedBy &&
            GetWindow(window, GW_OWNER) != target.ownedBy) {
            return TRUE;
        }
        if (IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            target.disabled->push_back(window);
        }
        return TRUE;
    });
}

// A dialog template in memory: the header, no menu, the default class, the
// caption in UTF-16, no controls. DLGTEMPLATE must be DWORD-aligned: the
// vector of WORDs is allocated with the heap's alignment.
std::vector<WORD> BuildTemplate(const char* caption, int width, int height, DWORD style) {
    const LONG units = GetDialogBaseUnits();
    const int unitX = LOWORD(units) ? LOWORD(units) : 8;
    const int unitY = HIWORD(units) ? HIWORD(units) : 16;
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE header{};
    header.style = style;
    header.cdit = 0;
    header.cx = static_cast<short>(MulDiv(width, 4, unitX));
    header.cy = static_cast<short>(MulDiv(height, 8, unitY));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    words.push_back(0);  // default dialog class
    const int length = MultiByteToWideChar(CP_ACP, 0, caption ? caption : "", -1, nullptr, 0);
    const size_t at = words.size();
    words.resize(at + static_cast<size_t>(length > 0 ? length : 1), 0);
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, caption ? caption : "", -1,
                            reinterpret_cast<wchar_t*>(words.data() + at), length);
    }
    return words;
}

}  // namespace

DisabledThreadWindows::DisabledThreadWindows(HWND ownedBy, bool onlyOwned) {
    const DWORD thread =
        ownedBy ? GetWindowThreadProcessId(ownedBy, nullptr) : GetCurrentThreadId();
    EnumerationTarget target{ownedBy, onlyOwned, &disabled_};
    EnumThreadWindows(thread, DisableOne, reinterpret_cast<LPARAM>(&target));
}

DisabledThreadWindows::~DisabledThreadWindows() {
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
}

Dialog::~Dialog() {
    if (window_ && !modal_ && IsWindow(window_)) {
        SetWindowLongPtr(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool Dialog::CreateModeless(int templateId, HWND owner, int id, bool childPage) {
    owner_ = owner;
    id_ = id;
    childPage_ = childPage;
    modal_ = false;
    HWND window = CreateDialogParamA(GetModuleHandle(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                     Procedure, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    if (childPage && id) SetWindowLongPtr(window, GWLP_ID, id);
    return true;
}

INT_PTR Dialog::RunModal(int templateId, HWND owner) {
    owner_ = owner;
    modal_ = true;
    INT_PTR result;
    {
        DisabledThreadWindows disabled(owner, false);
        result = DialogBoxParamA(GetModuleHandle(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                 Procedure, reinterpret_cast<LPARAM>(this));
    }
    // The owner was disabled when the dialog went away, so nothing took the
    // activation back.
    if (owner && IsWindowVisible(owner)) SetActiveWindow(owner);
    return result;
}

INT_PTR Dialog::RunModalFromTemplate(HWND owner, const char* caption, int width, int height,
                                     DWORD style) {
    owner_ = owner;
    modal_ = true;
    const std::vector<WORD> words = BuildTemplate(caption, width, height, style);
    const auto* dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(words.data());
    if (!owner) {
        return DialogBoxIndirectParamA(GetModuleHandle(nullptr), dialogTemplate, nullptr, Procedure,
                                       reinterpret_cast<LPARAM>(this));
    }
    INT_PTR result;
    {
        DisabledThreadWindows disabled(owner, (style & DS_SYSMODAL) == 0);
        result = DialogBoxIndirectParamA(GetModuleHandle(nullptr), dialogTemplate, owner, Procedure,
                                         reinterpret_cast<LPARAM>(this));
    }
    if (IsWindowVisible(owner)) SetActiveWindow(owner);
    return result;
}

void Dialog::EndModal(INT_PTR result) {
    if (window_ && modal_) ::EndDialog(window_, result);
}

void Dialog::Destroy() {
    if (!window_) return;
    if (modal_) {
        ::EndDialog(window_, IDCANCEL);
    } else {
        ::DestroyWindow(window_);
    }
}

RECT Dialog::ItemRect(int controlId) const {
    RECT rect{};
    HWND item = Item(controlId);
    if (!item) return rect;
    GetWindowRect(item, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Dialog::OnClose() {
    if (modal_) {
        EndModal(IDCANCEL);
        return true;
    }
    return false;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedCall(static_cast<INT_PTR>(FALSE), [&]() -> INT_PTR {
        Dialog* dialog = nullptr;
        if (message == WM_INITDIALOG) {
            dialog = reinterpret_cast<Dialog*>(lParam);
            if (!dialog) return FALSE;
            dialog->window_ = window;
            SetWindowLongPtr(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
        } else {
            dialog = reinterpret_cast<Dialog*>(GetWindowLongPtr(window, GWLP_USERDATA));
        }
        if (!dialog) return FALSE;
        const INT_PTR result = dialog->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtr(window, GWLP_USERDATA, 0);
            dialog->window_ = nullptr;
        }
        return result;
    });
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR filtered = 0;
    if (PreFilter(message, wParam, lParam, &filtered)) return filtered;
    switch (message) {
        case WM_INITDIALOG:
            return OnInit() ? TRUE : FALSE;
        case WM_DESTROY:
            if (ActiveDialog() == window_) SetActiveDialog(nullptr);
            OnDestroy();
            return FALSE;
        case WM_MOVE:
            return OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_SIZE:
            return OnSize(LOWORD(lParam), HIWORD(lParam));
        case WM_ACTIVATE: {
            const bool active = LOWORD(wParam) != WA_INACTIVE;
            if (active) {
                SetActiveDialog(childPage_ ? owner_ : window_);
            } else if (ActiveDialog() == window_) {
                SetActiveDialog(nullptr);
            }
            return OnActivate(active);
        }
        case WM_SETFOCUS:
            return OnFocus(true);
        case WM_KILLFOCUS:
            return OnFocus(false);
        case WM_PAINT:
            return OnPaint();
        case WM_CLOSE:
            return OnClose();
        case WM_SHOWWINDOW:
            return OnShow(wParam != FALSE);
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!header) return FALSE;
            LRESULT answer = 0;
            if (!OnNotify(static_cast<int>(header->idFrom), header, &answer)) return FALSE;
            SetWindowLongPtr(window_, DWLP_MSGRESULT, answer);
            return TRUE;
        }
        case WM_KEYDOWN:
            return OnKeyDown(static_cast<int>(wParam));
        case WM_COMMAND: {
            const int code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            if (code == EN_KILLFOCUS) OnEditFocusLost(GetFocus(), control);
            return OnCommand(LOWORD(wParam), code, control);
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            return OnScroll(message == WM_VSCROLL, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_MOUSEMOVE:
            return OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONDOWN:
            return OnLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONUP:
            return OnLeftButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_RBUTTONDOWN:
            return OnRightButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_RBUTTONUP:
            return OnRightButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_MOUSEWHEEL:
            return OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        case WM_SIZING:
            return OnSizing(static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
        case kApplyEditMessage:
            return OnEditFocusLost(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace kestrel
