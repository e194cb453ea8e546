#include <cstdio>
#include <cstring>

#include "common/callback_guard.h"
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

struct ChildSearch {
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM parameter) {
    return GuardedCall(FALSE, [&]() -> BOOL {
        auto* search = reinterpret_cast<ChildSearch*>(parameter);
        if (WindowText(child) == search->text) search->found = child;
        return search->found == nullptr;
    });
}

}  // namespace

std::vector<HWND> FindTopLevelWindows(DWORD processId, const char* className, const char* caption) {
    Search search{processId, className, caption, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const char* className, const char* caption,
                           DWORD timeoutMs) {
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

HWND WaitForOwnedDialog(DWORD processId, HWND owner, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopLevelWindows(processId, "#32770", nullptr))
                if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner) found = window;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND FindChildWithText(HWND parent, const std::string& text) {
    ChildSearch search{text};
    EnumChildWindows(parent, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

void CloseWindowPolitely(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

std::string WindowText(HWND window) {
    // WM_GETTEXT works across processes (GetWindowText does not for controls).
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
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

bool IsWindowShown(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

COLORREF ReadClientPixel(HWND window, int x, int y) {
    kestrel::WindowDC dc(window);
    return dc ? GetPixel(dc.get(), x, y) : CLR_INVALID;
}

bool SaveScreenshot(const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files store rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> pixels(static_cast<size_t>(rowSize) * height);

    kestrel::WindowDC screen;
    kestrel::MemoryDC memory(CreateCompatibleDC(screen.get()));
    kestrel::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    bool ok;
    {
        kestrel::SelectedObject selected(memory.get(), bitmap.get());
        ok = BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY) != FALSE;
    }
    ok = ok && GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                         reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
    if (!ok) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info, sizeof info, 1, out) == 1 &&
         std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

}  // namespace kestrel::uitest
