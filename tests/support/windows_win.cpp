#include <cstring>

#include "tests/support/ui_test_support.h"

namespace kestrel::uitest {
namespace {

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->className && WindowClassName(window) != search->className) return TRUE;
    if (search->caption && WindowText(window) != search->caption) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM parameter) {
    if (WindowClassName(child) == "Button")
        reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(WindowText(child));
    return TRUE;
}

}  // namespace

std::vector<HWND> FindTopLevelWindows(DWORD processId, const char* className, const char* caption) {
    Search search{processId, className, caption, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs) {
    HWND result = nullptr;
    WaitUntil(
        [&] {
            auto windows = FindTopLevelWindows(processId, className, caption);
            if (!windows.empty()) result = windows.front();
            return result != nullptr;
        },
        timeoutMs);
    return result;
}

HWND WaitForMessageBox(DWORD processId, const char* caption, DWORD timeoutMs) {
    return WaitForTopLevelWindow(processId, "#32770", caption, timeoutMs);
}

std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

std::vector<std::string> ButtonTexts(HWND dialog) {
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectButton, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool PressButton(HWND dialog, int controlId) {
    if (HWND button = GetDlgItem(dialog, controlId)) {
        SendMessageA(button, BM_CLICK, 0, 0);
        return true;
    }
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), 0) != FALSE;
}

void CloseWindowPolitely(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

std::string WindowText(HWND window) {
    // WM_GETTEXT works across processes (GetWindowText does not for controls).
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string WindowClassName(HWND window) {
    char name[256];
    const int length = GetClassNameA(window, name, sizeof name);
    return length > 0 ? std::string(name, static_cast<size_t>(length)) : std::string();
}

RECT WindowRectangle(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectangle(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

bool IsWindowShown(HWND window) { return IsWindowVisible(window) != FALSE; }

COLORREF ReadClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    if (!dc) return CLR_INVALID;
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

}  // namespace kestrel::uitest
