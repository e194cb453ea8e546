#include "builder/ui/file_dialogs.h"

// These need the types of <windows.h>.
#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

namespace kestrel {
namespace {

// Room for many files in one multiple selection.
constexpr size_t kMultipleSelectionBytes = 64 * 1024;

OPENFILENAMEA MakeRequest(const FileDialogArgs& args, const std::string& filter,
                          std::vector<char>& buffer, DWORD flags) {
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = args.owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = buffer.data();
    request.nMaxFile = static_cast<DWORD>(buffer.size());
    request.lpstrTitle = args.title.empty() ? nullptr : args.title.c_str();
    request.lpstrDefExt = args.defaultExtension.empty() ? nullptr : args.defaultExtension.c_str();
    request.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return request;
}

std::vector<char> NameBuffer(const std::string& initialName, size_t size) {
    std::vector<char> buffer(size, '\0');
    if (initialName.size() < size) initialName.copy(buffer.data(), initialName.size());
    return buffer;
}

class SystemFileDialogs : public FileDialogs {
  public:
    bool OpenFile(const FileDialogArgs& args, std::string* path) override {
        const std::string filter = args.filter.DialogString();
        std::vector<char> buffer = NameBuffer(args.initialName, MAX_PATH * 4);
        OPENFILENAMEA request =
            MakeRequest(args, filter, buffer, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
        if (!GetOpenFileNameA(&request)) return false;
        *path = buffer.data();
        return true;
    }

    bool OpenFiles(const FileDialogArgs& args, std::vector<std::string>* paths,
                   bool* tooMany) override {
        *tooMany = false;
        const std::string filter = args.filter.DialogString();
        std::vector<char> buffer = NameBuffer(args.initialName, kMultipleSelectionBytes);
        OPENFILENAMEA request = MakeRequest(
            args, filter, buffer,
            OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER);
        if (!GetOpenFileNameA(&request)) {
            *tooMany = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
            return false;
        }
        // One file: its full path. Several: the folder, then each name, each
        // ended by a zero, the list by a second zero.
        buffer.back() = '\0';
        const std::string first = buffer.data();
        size_t at = first.size() + 1;
        paths->clear();
        if (at >= buffer.size() || buffer[at] == '\0') {
            paths->push_back(first);
            return true;
        }
        const std::string folder = (!first.empty() && first.back() == '\\') ? first : first + "\\";
        while (at < buffer.size() && buffer[at] != '\0') {
            const std::string name = buffer.data() + at;
            paths->push_back(folder + name);
            at += name.size() + 1;
        }
        return true;
    }

    bool SaveFile(const FileDialogArgs& args, std::string* path) override {
        const std::string filter = args.filter.DialogString();
        std::vector<char> buffer = NameBuffer(args.initialName, MAX_PATH * 4);
        OPENFILENAMEA request =
            MakeRequest(args, filter, buffer, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
        if (!GetSaveFileNameA(&request)) return false;
        *path = buffer.data();
        return true;
    }

    bool ChooseFolder(HWND owner, const std::string& title, std::string* path) override {
        BROWSEINFOA request{};
        request.hwndOwner = owner;
        request.lpszTitle = title.c_str();
        request.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
        if (!chosen) return false;
        char buffer[MAX_PATH] = {};
        const bool found = SHGetPathFromIDListA(chosen, buffer) != FALSE;
        CoTaskMemFree(chosen);
        if (!found) return false;
        *path = buffer;
        return true;
    }

    bool ChooseColour(HWND owner, uint32_t* colour,
                      std::array<uint32_t, 16>* customColours) override {
        COLORREF custom[16];
        for (size_t index = 0; index < 16; ++index) custom[index] = (*customColours)[index];
        CHOOSECOLORA request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = owner;
        request.rgbResult = *colour;
        request.lpCustColors = custom;
        request.Flags = CC_FULLOPEN | CC_RGBINIT;
        const bool chosen = ChooseColorA(&request) != FALSE;
        // The chooser keeps the custom colours the user defined also on Cancel.
        for (size_t index = 0; index < 16; ++index) (*customColours)[index] = custom[index];
        if (chosen) *colour = request.rgbResult;
        return chosen;
    }
};

}  // namespace

std::unique_ptr<FileDialogs> CreateSystemFileDialogs() {
    return std::make_unique<SystemFileDialogs>();
}

}  // namespace kestrel
