// The "Dialogs." family's calls into Windows. Every dialog is owned by the
// calling projector window; while one is open the other projector windows are
// disabled, and a projector window asked to close waits until the dialog's
// call has returned (the handler that shows the dialog is still running).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "projector/api/desktop_services_win.h"
#include "projector/api/dialog_services.h"

namespace kestrel {

// Every projector window of the program.
using ProjectorWindowList = std::function<std::vector<HWND>()>;

class DialogServicesWin : public DialogServices {
  public:
    DialogServicesWin(OwnerWindow owner, ProjectorWindowList windows)
        : owner_(std::move(owner)), windows_(std::move(windows)) {}

    MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& message,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override;
    std::optional<std::uint32_t> ShowColorChooser(std::uint32_t initial) override;
    ChosenFiles ChooseFiles(const std::string& defaultFileName, bool allowMultiple) override;
    std::optional<std::string> ChooseSaveFile(const std::string& defaultFileName) override;
    std::optional<std::string> ChooseFolder(const std::string& instruction) override;
    std::string ProgramPath() override;

  private:
    OwnerWindow owner_;
    ProjectorWindowList windows_;
};

// True while a dialog of the API is open: the window's close is then
// remembered and asked for again once the outermost dialog has returned.
// A projector window calls this before it closes.
bool DeferCloseWhileDialogOpen(HWND window);

}  // namespace kestrel
