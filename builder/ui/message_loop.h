// The builder's message loop: accelerator table 128 for the main window
// whatever window of the thread has the focus, and dialog navigation for the
// active modeless dialog (or the parent of the active child page).
#pragma once

#include <windows.h>

namespace kestrel {

// The window dialog navigation goes to; set by the dialogs on activation.
void SetActiveDialog(HWND dialog);
HWND ActiveDialog();

// Installs a get-message hook on this thread that translates `accelerators`
// for `target` and discards the matched key message. One at a time.
class AcceleratorHook {
  public:
    AcceleratorHook(HWND target, HACCEL accelerators);
    ~AcceleratorHook();
    AcceleratorHook(const AcceleratorHook&) = delete;
    AcceleratorHook& operator=(const AcceleratorHook&) = delete;
    bool Installed() const { return hook_ != nullptr; }

  private:
    HHOOK hook_ = nullptr;  // removed in the destructor
};

// Runs until WM_QUIT; answers its exit code.
int RunMessageLoop();

}  // namespace kestrel
