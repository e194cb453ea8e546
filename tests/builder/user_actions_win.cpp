#include "tests/builder/user_actions_win.h"

// Needs the types of <windows.h>.
#include <dlgs.h>

#include "common/callback_guard.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::uitest {
namespace {

struct ControlSearch {
    int controlId;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM parameter) {
    return GuardedCall(FALSE, [&]() -> BOOL {
        auto* search = reinterpret_cast<ControlSearch*>(parameter);
        if (GetDlgCtrlID(child) != search->controlId) return TRUE;
        if (search->visibleOnly && !IsWindowVisible(child)) return TRUE;
        search->found = child;
        return FALSE;
    });
}

BOOL CALLBACK MatchEditBox(HWND child, LPARAM parameter) {
    return GuardedCall(FALSE, [&]() -> BOOL {
        if (WindowClassName(child) != "Edit") return TRUE;
        *reinterpret_cast<HWND*>(parameter) = child;
        return FALSE;
    });
}

// The box a user types the file name into: an edit box, or the edit box
// inside the combo box that newer dialogs show instead (at any depth there).
HWND FileNameBox(HWND dialog) {
    for (int id : {cmb13, edt1}) {
        HWND box = FindControl(dialog, id);
        if (!box) continue;
        if (WindowClassName(box) == "Edit") return box;
        HWND edit = nullptr;
        EnumChildWindows(box, MatchEditBox, reinterpret_cast<LPARAM>(&edit));
        return edit ? edit : box;
    }
    return nullptr;
}

// Tells the control's dialog what the control itself would tell it.
void Notify(HWND control, int code) {
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

}  // namespace

HWND FindControl(HWND root, int controlId, bool visibleOnly) {
    ControlSearch search{controlId, visibleOnly};
    EnumChildWindows(root, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PostClick(HWND button) {
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void TypeIntoEditBox(HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    Notify(edit, EN_KILLFOCUS);
}

void PickComboItem(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(combo, CBN_SELCHANGE);
}

HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopLevelWindows(processId, "#32770", nullptr)) {
                if (IsWindowVisible(window) && FileNameBox(window)) found = window;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool AnswerFileDialog(HWND dialog, const std::string& path, DWORD timeoutMs) {
    HWND box = FileNameBox(dialog);
    if (!box) return false;
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeoutMs);
}

void PressKey(HWND window, WPARAM key) {
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace kestrel::uitest
