// Drives real Windows programs from tests: start a process, find its windows
// and message boxes, read and press their controls, wait for its exit code.
// The programs under test get no hooks; everything goes through user32.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/win_handles.h"

namespace kestrel::uitest {

struct StartOptions {
    std::string program;
    std::string workingFolder;  // empty: the test's own
    // Variables set (or replaced) in the child's copy of our environment.
    std::vector<std::pair<std::string, std::string>> environment;
};

// A started program. Ends it (TerminateProcess) on destruction if it still runs.
class TestProcess {
  public:
    TestProcess() = default;
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    // Each argument is passed quoted.
    bool start(const StartOptions& options, const std::vector<std::string>& arguments = {});
    DWORD id() const { return processId_; }
    bool isRunning() const;

    // Waits up to `timeoutMs`; true and the exit code once the process ended.
    // A program that returned -1 reports 0xFFFFFFFF.
    bool waitForExit(DWORD timeoutMs, uint32_t* exitCode);
    // Ends the process at once (used after a timeout).
    void kill();

  private:
    kestrel::KernelHandle process_;
    DWORD processId_ = 0;
};

// Top-level windows of a process, optionally filtered by class and caption
// (exact match; null matches anything). Hidden windows are included.
std::vector<HWND> FindTopLevelWindows(DWORD processId, const char* className, const char* caption);

// Polls until a matching top-level window exists; null after the timeout.
HWND WaitForTopLevelWindow(DWORD processId, const char* className, const char* caption,
                           DWORD timeoutMs);

// A message box or dialog (class "#32770") of the process with this caption.
HWND WaitForMessageBox(DWORD processId, const char* caption, DWORD timeoutMs);

// The visible dialog (class "#32770") of the process owned by `owner`; null
// after the timeout.
HWND WaitForOwnedDialog(DWORD processId, HWND owner, DWORD timeoutMs);

// The last child (at any depth) whose text is exactly `text`; null when none.
HWND FindChildWithText(HWND parent, const std::string& text);

// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);

// Texts of the buttons of a dialog, in child order.
std::vector<std::string> ButtonTexts(HWND dialog);

// Presses the button with this control id (IDOK, IDCANCEL, ...). A message
// box's single OK button answers IDOK through WM_COMMAND as well.
bool PressButton(HWND dialog, int controlId);

// Asks a window to close (WM_CLOSE, posted).
void CloseWindowPolitely(HWND window);

std::string WindowText(HWND window);
std::string WindowClassName(HWND window);
RECT WindowRectangle(HWND window);
RECT ClientRectangle(HWND window);
bool IsWindowShown(HWND window);

// The colour of a client pixel as shown on the screen (red in the low byte);
// CLR_INVALID when it cannot be read.
COLORREF ReadClientPixel(HWND window, int x, int y);

// Writes what the screen shows as a 24-bit BMP file (for a person to look at).
bool SaveScreenshot(const std::string& path);

// Waits until `condition()` is true, polling every 50 ms; false on timeout.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

}  // namespace kestrel::uitest
