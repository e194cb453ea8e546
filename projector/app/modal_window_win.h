// A modal projector window: a dialog box built in memory whose own loop runs
// inside the call that opened it, until the window is closed.
#pragma once

#include "projector/app/projector_window_win.h"

namespace kestrel::projector {

class ModalWindow : public ProjectorWindow {
  public:
    ModalWindow(Application& application, WindowDefinition& definition, bool isMain);

    // Runs the whole dialog: the window is attached, listed and started when
    // the dialog is initialised, and this returns after it has ended. False
    // when the dialog could not be made or the movie not attached.
    bool create() override;

    bool runningDialog() const override { return runningDialog_; }

  private:
    LRESULT handleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool initialise(HWND dialog);

    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    bool runningDialog_ = false;
    bool attached_ = false;
};

}  // namespace kestrel::projector
