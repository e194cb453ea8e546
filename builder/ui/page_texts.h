// The texts the builder's pages show for the project: list rows of the
// Windows and Setup pages, the movie's facts, the Output page's folder and
// icon. No value means the page shows string 140 "N/A" instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "builder/project.h"

namespace kestrel {

inline constexpr int kNotAvailableString = 140;  // "N/A"

// One row of the Windows page: the main window first, then its sub-windows.
struct WindowRow {
    std::string name;
    std::string movie;  // the SWF's file name without folder
};
std::vector<WindowRow> WindowRows(const Project& project);

// The Setup page's five information fields.
struct MovieFacts {
    std::string path;
    std::string width;
    std::string height;
    std::string version;
    std::string frameRate;  // "%.1f fps"
};
// None when there is no movie or it cannot be read as a SWF.
std::optional<MovieFacts> MovieFactsOf(const std::string& swf);

// One row of the Setup page's list of additional files.
struct ExtraFileRow {
    std::string name;  // without folder
    const char* type;  // "File" or "Folder"
};
ExtraFileRow ExtraFileRowOf(const std::string& path);

// Appends the chosen files in sorted order; the caller wraps this in one edit
// so that one dialog gives one undo entry.
void AddExtraFilesSorted(WindowData& window, std::vector<std::string> paths);

// The output folder as a full path while it exists.
std::optional<std::string> OutputFolderText(const std::string& folder);
// A chosen icon or mask: the file name without folder; none while unset.
std::optional<std::string> ChosenFileText(const std::string& path);
// The Windows file-name box is typed in only when the Windows output is on
// and the names are not derived from the project name.
bool WindowsFileNameEditable(const ProjectSettings& settings);

}  // namespace kestrel
