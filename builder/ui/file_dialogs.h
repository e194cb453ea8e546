// The open, save, folder and colour dialogs behind one interface, so tests
// can answer them without a real dialog.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/ui/file_filter.h"

namespace kestrel {

struct FileDialogArgs {
    HWND owner = nullptr;
    std::string title;  // empty: the system's
    FileFilter filter;
    std::string initialName;
    std::string defaultExtension;  // without the dot
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // False when cancelled (nothing changed).
    virtual bool OpenFile(const FileDialogArgs& args, std::string* path) = 0;
    // Several files: full paths. False when cancelled or when the selection
    // did not fit (`*tooMany` then true: tell the user).
    virtual bool OpenFiles(const FileDialogArgs& args, std::vector<std::string>* paths,
                           bool* tooMany) = 0;
    // Asks before replacing an existing file.
    virtual bool SaveFile(const FileDialogArgs& args, std::string* path) = 0;
    virtual bool ChooseFolder(HWND owner, const std::string& title, std::string* path) = 0;
    // The colour chooser, fully open, starting at `*colour` (red in the low
    // byte), with the sixteen custom colours it may change.
    virtual bool ChooseColour(HWND owner, uint32_t* colour,
                              std::array<uint32_t, 16>* customColours) = 0;
};

// The real common dialogs.
std::unique_ptr<FileDialogs> CreateSystemFileDialogs();

}  // namespace kestrel
