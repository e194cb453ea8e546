#include "tests/builder/builder_ui_driver_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/file_system.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::test {
namespace {

ModalDriver* gDriver = nullptr;  // the one driver of the test thread

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<DialogSearch*>(parameter);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    // The window a modal loop runs for is the one left enabled.
    if (std::string(className) != "#32770" || !IsWindowVisible(window) ||
        !IsWindowEnabled(window)) {
        return TRUE;
    }
    if (search.caption && uitest::WindowText(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

HWND FindThreadDialog(const char* caption) {
    DialogSearch search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ModalDriver::ModalDriver() {
    gDriver = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer_);
    gDriver = nullptr;
}

ModalDriver& ModalDriver::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

ModalDriver& ModalDriver::OnDialog(const char* caption, std::function<void(HWND)> act) {
    return Then([caption, act] {
        HWND dialog = FindThreadDialog(caption);
        if (!dialog) return false;
        if (act) act(dialog);
        return true;
    });
}

ModalDriver& ModalDriver::Press(const char* caption, int button) {
    return OnDialog(caption, [button](HWND dialog) { PostClick(dialog, button); });
}

ModalDriver& ModalDriver::Answer(const char* caption, int button, std::string* text) {
    return OnDialog(caption, [button, text](HWND box) {
        if (text) *text = uitest::MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
}

ModalDriver& ModalDriver::AnswerIfShown(int button, DWORD waitMs) {
    // Only a dialog that was not up before the command counts: the main and
    // settings windows are dialogs too.
    std::vector<HWND> before;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&before));
    return Then([button, waitMs, before, start = DWORD{0}]() mutable {
        if (start == 0) start = GetTickCount();
        std::vector<HWND> now;
        EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&now));
        for (HWND window : now) {
            if (std::find(before.begin(), before.end(), window) != before.end()) continue;
            if (uitest::WindowClassName(window) != "#32770" || !IsWindowVisible(window) ||
                !IsWindowEnabled(window)) {
                continue;
            }
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            return true;
        }
        return GetTickCount() - start > waitMs;
    });
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gDriver) gDriver->RunNext();
}

void ModalDriver::RunNext() {
    if (running_ || steps_.empty()) return;
    running_ = true;
    if (stepStart_ == 0) stepStart_ = GetTickCount();
    Step step = steps_.front();
    if (step()) {
        steps_.pop_front();
        stepStart_ = 0;
    } else if (GetTickCount() - stepStart_ > kStepTimeoutMs) {
        // A step that never matches would leave the test hanging in a modal
        // loop: report what is up instead and close it.
        HWND shown = FindThreadDialog(nullptr);
        ADD_FAILURE() << "modal step " << steps_.size() << " from the end did not match; showing: "
                      << (shown ? uitest::WindowText(shown) + " / " + uitest::MessageBoxText(shown)
                                : std::string("nothing"));
        steps_.clear();
        stepStart_ = 0;
        if (shown) {
            PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(shown, WM_COMMAND, IDOK, 0);
        }
    }
    running_ = false;
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void WaitUntilFinished(const ModalDriver& driver, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!driver.Finished() && GetTickCount() - start < ms) PumpMessages(20);
}

void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

void SaveTestScreenshot(const std::string& name) {
    const std::string folder = JoinPath(KESTREL_SOURCE_DIR, "build/screenshots");
    MakeDirectory(folder);
    PumpMessages(300);
    uitest::SaveScreenshot(JoinPath(folder, name + ".bmp"));
}

}  // namespace kestrel::test
