// kestrel-cli new and set: make and change project files.
#include <algorithm>

#include "builder/cli/cli_command.h"
#include "builder/cli/cli_project_file.h"
#include "builder/project_file_attributes.h"
#include "builder/project_file_reader.h"
#include "builder/project_file_writer.h"
#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/xml_text_writer.h"

namespace kestrel::cli {

namespace {

const char kNewHelp[] =
    "usage: kestrel-cli new PROJECT.kstl MOVIE.swf [--overwrite]\n"
    "\n"
    "Makes a project whose main window shows MOVIE.swf at the movie's size, with\n"
    "the Windows output ticked and the outputs going to the project's folder.\n"
    "An existing PROJECT.kstl is kept unless --overwrite is given (exit code 3).\n";

const char kSetHelp[] =
    "usage: kestrel-cli set PROJECT.kstl [--window N] KEY=VALUE...\n"
    "\n"
    "Changes settings by the attribute names of the project file, for example\n"
    "  output_win=true output_win_filename=Show.exe window_title=Hello\n"
    "  window_size=custom window_width=640 flash_bgcolor=16777215\n"
    "Window settings apply to the main window, or after --window N to its N-th\n"
    "sub-window (--window 0 is the main window again). more_files+=PATH adds an\n"
    "extra file or folder, more_files= clears the list. Paths are taken\n"
    "relative to the current folder. Setting an output file name turns\n"
    "output_default_filenames off, so the name is kept. Values are stored as the\n"
    "project file would store them: an unknown word leaves a setting as it was.\n";

// Attributes whose values are paths, made absolute against the current folder.
bool IsPathAttribute(const std::string& name) {
    return name == "swf" || name == "window_mask" || name == "output_folder" ||
           (name.size() > 5 && name.compare(name.size() - 5, 5, "_path") == 0);
}

template <typename Settings>
bool HasAttribute(const std::vector<AttributeRule<Settings>>& rules, const std::string& name) {
    return std::any_of(rules.begin(), rules.end(),
                       [&](const auto& rule) { return name == rule.name; });
}

// Replaces the value of ` name="..."` on the line at `lineStart` of a
// project text, where values never hold a raw quote.
bool ReplaceAttribute(std::string& text, size_t lineStart, const std::string& name,
                      const std::string& value) {
    const size_t lineEnd = text.find('\n', lineStart);
    const std::string key = " " + name + "=\"";
    size_t at = text.find(key, lineStart);
    if (at == std::string::npos || at > lineEnd) return false;
    at += key.size();
    const size_t close = text.find('"', at);
    text.replace(at, close - at, EscapeXmlText(value));
    return true;
}

// Start of the line of the window element: 0 the main window, n its n-th
// direct sub-window; npos when there is none.
size_t WindowLine(const std::string& text, int index) {
    int depth = 0;
    int subWindows = 0;
    for (size_t line = 0; line < text.size(); line = text.find('\n', line) + 1) {
        if (text.compare(line, 8, "<skylet ") == 0) {
            ++depth;
            if (depth == 1 && index == 0) return line;
            if (depth == 2 && ++subWindows == index) return line;
        } else if (text.compare(line, 9, "</skylet>") == 0) {
            --depth;
        }
        if (text.find('\n', line) == std::string::npos) break;
    }
    return std::string::npos;
}

}  // namespace

int RunNewCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kNewHelp);
        return kExitOk;
    }
    std::vector<std::string> paths;
    bool overwrite = false;
    for (const std::string& arg : args) {
        if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg.rfind("--", 0) == 0) {
            return Report(console, kExitUsage, "new: unknown option \"" + arg + "\"");
        } else {
            paths.push_back(CommandLinePath(arg));
        }
    }
    if (paths.size() != 2)
        return Report(console, kExitUsage, "new: give PROJECT.kstl and MOVIE.swf");
    const std::string& projectPath = paths[0];
    if (PathExists(projectPath) && !overwrite) {
        return Report(console, kExitExists,
                      "\"" + projectPath + "\" exists; --overwrite replaces it");
    }
    Project project;
    if (!project.MainWindow().SetMovie(paths[1])) {
        return Report(console, kExitFailed, "cannot read the movie \"" + paths[1] + "\"");
    }
    std::string folder =
        projectPath.substr(0, projectPath.size() - PathLastComponent(projectPath).size());
    project.SetOutputFolder(folder.empty() ? CommandLinePath(".") : folder);
    project.SetOutputEnabled(ExportTarget::Windows, true);
    project.SelectWindowByIndex(0);
    ProjectFileError saved = SaveProjectFile(project, projectPath);
    if (saved != ProjectFileError::None) {
        return Report(console, kExitFailed,
                      "cannot save \"" + projectPath + "\": " + ToString(saved));
    }
    return kExitOk;
}

int RunSetCommand(const std::vector<std::string>& args, const Console& console) {
    if (WantsHelp(args)) {
        console.out(kSetHelp);
        return kExitOk;
    }
    if (args.size() < 2)
        return Report(console, kExitUsage, "set: give PROJECT.kstl and KEY=VALUE...");
    const std::string projectPath = CommandLinePath(args[0]);
    Project project;
    ProjectFileError loaded = LoadCliProject(project, projectPath);
    if (loaded != ProjectFileError::None) {
        return Report(console, kExitFailed,
                      "cannot load \"" + projectPath + "\": " + ToString(loaded));
    }
    int window = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--window" && i + 1 < args.size()) {
            window = std::atoi(args[++i].c_str());
            if (!project.WindowAt(window)) {
                return Report(console, kExitUsage, "set: there is no window " + args[i]);
            }
            continue;
        }
        const size_t equals = arg.find('=');
        if (equals == std::string::npos || equals == 0) {
            return Report(console, kExitUsage, "set: \"" + arg + "\" is not KEY=VALUE");
        }
        std::string key = arg.substr(0, equals);
        std::string value = arg.substr(equals + 1);
        WindowData* target = project.WindowAt(window);
        if (key == "more_files+" || key == "more_files") {
            if (key == "more_files") {
                if (!value.empty())
                    return Report(console, kExitUsage,
                                  "set: more_files+=PATH adds, more_files= clears");
                target->ClearExtraFiles();
            } else {
                target->AddExtraFile(CommandLinePath(value));
            }
            continue;
        }
        if (IsPathAttribute(key)) value = CommandLinePath(value);
        // A file name of one's own is kept only without derived names.
        const bool ownFileName = key.size() > 9 && key.compare(key.size() - 9, 9, "_filename") == 0;
        if (ownFileName) project.SetDefaultFileNames(false);
        // Through the project file itself, so every value is read exactly as
        // a saved file would be.
        std::string text = WriteProjectText(project);
        const bool isDataList = key == "current_data" || HasAttribute(DataListAttributes(), key);
        const bool isWindow = HasAttribute(WindowAttributes(), key);
        size_t line = isDataList ? text.find("<skylet_datalist ")
                      : isWindow ? WindowLine(text, window)
                                 : std::string::npos;
        if ((!isDataList && !isWindow) || line == std::string::npos ||
            !ReplaceAttribute(text, line, key, value)) {
            return Report(console, kExitUsage, "set: unknown setting \"" + key + "\"");
        }
        if (ReadProjectText(project, text.data(), text.size()) != ProjectFileError::None) {
            return Report(console, kExitFailed, "set: cannot apply \"" + arg + "\"");
        }
        if (key == "swf" && !value.empty() && project.WindowAt(window)->Settings().swf.empty()) {
            return Report(console, kExitFailed, "cannot read the movie \"" + value + "\"");
        }
    }
    ProjectFileError saved = SaveProjectFile(project, projectPath);
    if (saved != ProjectFileError::None) {
        return Report(console, kExitFailed,
                      "cannot save \"" + projectPath + "\": " + ToString(saved));
    }
    return kExitOk;
}

}  // namespace kestrel::cli
