#include "builder/ui/page_texts.h"

#include <algorithm>

#include "builder/project_paths.h"
#include "builder/swf_header.h"
#include "common/file_system.h"
#include "common/payload_writer.h"

namespace kestrel {

std::vector<WindowRow> WindowRows(const Project& project) {
    std::vector<WindowRow> rows;
    auto add = [&rows](const WindowData& window) {
        rows.push_back({window.Settings().windowName, PathLastComponent(window.Settings().swf)});
    };
    add(project.MainWindow());
    for (const auto& sub : project.MainWindow().SubWindows()) add(*sub);
    return rows;
}

std::optional<MovieFacts> MovieFactsOf(const std::string& swf) {
    if (swf.empty()) return std::nullopt;
    std::string path = AbsoluteForm(swf);
    SwfHeader header;
    if (!ReadSwfHeader(path, &header)) return std::nullopt;
    return MovieFacts{path, std::to_string(header.StageWidthPixels()),
                      std::to_string(header.StageHeightPixels()), std::to_string(header.version),
                      FrameRateText(header)};
}

ExtraFileRow ExtraFileRowOf(const std::string& path) {
    return {PathLastComponent(path), IsDirectory(path) ? "Folder" : "File"};
}

void AddExtraFilesSorted(WindowData& window, std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) window.AddExtraFile(path);
}

std::optional<std::string> OutputFolderText(const std::string& folder) {
    std::string path = AbsoluteForm(folder);
    if (path.empty() || !IsDirectory(path)) return std::nullopt;
    return path;
}

std::optional<std::string> ChosenFileText(const std::string& path) {
    std::string name = PathLastComponent(path);
    if (name.empty()) return std::nullopt;
    return name;
}

bool WindowsFileNameEditable(const ProjectSettings& settings) {
    return settings.outputWin && !settings.outputDefaultFilenames;
}

}  // namespace kestrel
