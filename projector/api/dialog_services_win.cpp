#include "projector/api/dialog_services_win.h"

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "common/callback_guard.h"
#include "common/win_handles.h"
#include "projector/api/file_dialog_buffer.h"
#include "projector/api/system_services_win.h"

namespace kestrel {
namespace {

// Dialogs open now (they nest when a movie in another window asks too), and
// the windows whose close waits for them.
int gOpenDialogs = 0;
std::vector<HWND> gDeferredCloses;

// For the life of one dialog: the other projector windows are disabled (the
// dialog disables its owner itself), and given back afterwards; at the end of
// the outermost dialog the deferred closes are asked for again.
class ModalDialogScope {
  public:
    ModalDialogScope(HWND owner, const ProjectorWindowList& windows) {
        ++gOpenDialogs;
        if (!windows) return;
        for (HWND window : windows()) {
            if (window == owner || !IsWindowEnabled(window)) continue;
            EnableWindow(window, FALSE);
            disabled_.push_back(window);
        }
    }
    ~ModalDialogScope() {
        for (HWND window : disabled_)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        if (--gOpenDialogs > 0) return;
        std::vector<HWND> closes;
        closes.swap(gDeferredCloses);
        for (HWND window : closes)
            if (IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
    }
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;

  private:
    std::vector<HWND> disabled_;
};

// Common dialogs may change the process's current folder; the movie's
// relative paths must not follow them.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper() {
        DWORD size = GetCurrentDirectoryA(0, nullptr);
        if (size == 0) return;
        folder_.resize(size);
        DWORD length = GetCurrentDirectoryA(size, &folder_[0]);
        folder_.resize(length < size ? length : 0);
    }
    ~CurrentFolderKeeper() {
        if (!folder_.empty()) SetCurrentDirectoryA(folder_.c_str());
    }
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

  private:
    std::string folder_;
};

struct ItemListFreer {
    void operator()(LPITEMIDLIST items) const { CoTaskMemFree(items); }
};

constexpr char kAllFilesFilter[] = "All Files(*.*)\0*.*\0";
// Return only file-system folders, and their ancestors.
constexpr UINT kFolderBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;

UINT MessageBoxType(MessageBoxButtons buttons, MessageBoxIcon icon) {
    UINT type = MB_OK;
    switch (buttons) {
        case MessageBoxButtons::Ok:
            type = MB_OK;
            break;
        case MessageBoxButtons::OkCancel:
            type = MB_OKCANCEL;
            break;
        case MessageBoxButtons::YesNo:
            type = MB_YESNO;
            break;
        case MessageBoxButtons::YesNoCancel:
            type = MB_YESNOCANCEL;
            break;
        case MessageBoxButtons::RetryCancel:
            type = MB_RETRYCANCEL;
            break;
        case MessageBoxButtons::AbortRetryIgnore:
            type = MB_ABORTRETRYIGNORE;
            break;
    }
    if (icon == MessageBoxIcon::Error) type |= MB_ICONERROR;
    if (icon == MessageBoxIcon::Warning) type |= MB_ICONWARNING;
    return type;
}

MessageBoxAnswer AnswerOf(int pressed) {
    switch (pressed) {
        case IDOK:
            return MessageBoxAnswer::Ok;
        case IDCANCEL:
            return MessageBoxAnswer::Cancel;
        case IDYES:
            return MessageBoxAnswer::Yes;
        case IDNO:
            return MessageBoxAnswer::No;
        case IDRETRY:
            return MessageBoxAnswer::Retry;
        case IDABORT:
            return MessageBoxAnswer::Abort;
        case IDIGNORE:
            return MessageBoxAnswer::Ignore;
        default:
            return MessageBoxAnswer::None;
    }
}

OPENFILENAMEA FileDialogSettings(HWND owner, std::vector<char>& buffer, DWORD flags) {
    OPENFILENAMEA settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFilter = kAllFilesFilter;
    settings.lpstrFile = buffer.data();
    settings.nMaxFile = static_cast<DWORD>(buffer.size());
    settings.Flags = OFN_ENABLESIZING | OFN_HIDEREADONLY | flags;
    return settings;
}

}  // namespace

bool DeferCloseWhileDialogOpen(HWND window) {
    if (gOpenDialogs == 0) return false;
    // Called from window procedures: a failed allocation loses the close
    // rather than throwing into the system.
    GuardedCall([&] {
        if (std::find(gDeferredCloses.begin(), gDeferredCloses.end(), window) ==
            gDeferredCloses.end())
            gDeferredCloses.push_back(window);
    });
    return true;
}

MessageBoxAnswer DialogServicesWin::ShowMessageBox(const std::string& title,
                                                   const std::string& message,
                                                   MessageBoxButtons buttons, MessageBoxIcon icon) {
    HWND owner = owner_ ? owner_() : nullptr;
    ModalDialogScope scope(owner, windows_);
    return AnswerOf(
        MessageBoxA(owner, message.c_str(), title.c_str(), MessageBoxType(buttons, icon)));
}

std::optional<std::uint32_t> DialogServicesWin::ShowColorChooser(std::uint32_t initial) {
    HWND owner = owner_ ? owner_() : nullptr;
    ModalDialogScope scope(owner, windows_);
    COLORREF customColors[16];
    std::fill(std::begin(customColors), std::end(customColors), RGB(255, 255, 255));
    CHOOSECOLORA settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.rgbResult = initial;
    settings.lpCustColors = customColors;
    settings.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&settings)) return std::nullopt;
    return settings.rgbResult;
}

ChosenFiles DialogServicesWin::ChooseFiles(const std::string& defaultFileName, bool allowMultiple) {
    HWND owner = owner_ ? owner_() : nullptr;
    ModalDialogScope scope(owner, windows_);
    CurrentFolderKeeper folder;
    std::vector<char> buffer = MakeFileNameBuffer(
        allowMultiple ? kMultipleFileBufferSize : kSingleFileBufferSize, defaultFileName);
    DWORD flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (allowMultiple) flags |= OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    OPENFILENAMEA settings = FileDialogSettings(owner, buffer, flags);
    ChosenFiles chosen;
    if (!GetOpenFileNameA(&settings)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            chosen.outcome = ChosenFiles::Outcome::SelectionTooLong;
        return chosen;
    }
    chosen.files = ReadChosenFiles(buffer);
    chosen.outcome =
        chosen.files.empty() ? ChosenFiles::Outcome::Cancelled : ChosenFiles::Outcome::Chosen;
    return chosen;
}

std::optional<std::string> DialogServicesWin::ChooseSaveFile(const std::string& defaultFileName) {
    HWND owner = owner_ ? owner_() : nullptr;
    ModalDialogScope scope(owner, windows_);
    CurrentFolderKeeper folder;
    std::vector<char> buffer = MakeFileNameBuffer(kSingleFileBufferSize, defaultFileName);
    OPENFILENAMEA settings = FileDialogSettings(owner, buffer, OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameA(&settings)) return std::nullopt;
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::optional<std::string> DialogServicesWin::ChooseFolder(const std::string& instruction) {
    HWND owner = owner_ ? owner_() : nullptr;
    ModalDialogScope scope(owner, windows_);
    CurrentFolderKeeper folder;
    ComApartment com;  // the folder browser needs COM on this thread
    char displayName[MAX_PATH] = {};
    BROWSEINFOA settings{};
    settings.hwndOwner = owner;
    settings.pszDisplayName = displayName;
    settings.lpszTitle = instruction.empty() ? nullptr : instruction.c_str();
    settings.ulFlags = kFolderBrowseFlags;
    std::unique_ptr<ITEMIDLIST, ItemListFreer> items(SHBrowseForFolderA(&settings));
    if (!items) return std::nullopt;
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(items.get(), path)) return std::nullopt;
    return std::string(path);
}

std::string DialogServicesWin::ProgramPath() {
    return RunningProgramPath();
}

}  // namespace kestrel
