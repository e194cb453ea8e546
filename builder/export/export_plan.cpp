#include "builder/export/export_plan.h"

#include <cctype>

#include "builder/project_paths.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_format.h"
#include "common/payload_writer.h"

namespace kestrel {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

struct PlanBuilder {
    ExportPlan* plan;
    std::string* message;

    bool Fail(const std::string& text) {
        *message = text;
        return false;
    }

    // A name that goes directly into the unpack folder (or a bundle's
    // Resources folder).
    bool CheckTopLevelName(const std::string& name, const std::string& path) {
        if (!IsSafeItemName(name)) {
            return Fail("The name " + Quoted(name) + " of " + Quoted(path) +
                        " cannot be carried by a projector (empty, \".\", \"..\", a path "
                        "separator, a device "
                        "name or longer than 255 bytes).");
        }
        if (IsReservedItemName(name)) {
            return Fail("The file " + Quoted(path) + " cannot be carried: the projector writes " +
                        Quoted(name) + " itself.");
        }
        return true;
    }

    // `copied`: the payload copies the file as it is (a mask is converted).
    bool CheckReadable(const std::string& path, const char* what, bool copied = true) {
        uint64_t size = 0;
        if (IsDirectory(path) || !ReadableFileSize(path, &size)) {
            return Fail(std::string("Cannot read the ") + what + " " + Quoted(path) + ".");
        }
        if (copied) plan->sourceBytes += size;
        return true;
    }

    bool AddSource(const std::string& path, bool mayBeFolder, const char* what) {
        ExportSource source;
        source.path = path;
        source.name = PathLastComponent(path);
        source.isFolder = mayBeFolder && IsDirectory(path);
        if (!CheckTopLevelName(source.name, path)) return false;
        if (source.isFolder) {
            // The payload carries the folder's own files; each must read.
            for (const std::string& file : ListFiles(path)) {
                std::string inner = JoinPath(path, file);
                if (!IsSafeItemName(file)) {
                    return Fail("The name " + Quoted(file) + " of " + Quoted(inner) +
                                " cannot be carried by a projector.");
                }
                if (!CheckReadable(inner, "file")) return false;
            }
        } else if (!CheckReadable(path, what)) {
            return false;
        }
        plan->sources.push_back(source);
        return true;
    }

    bool AddWindow(const WindowData& window) {
        const WindowSettings& s = window.Settings();
        if (!s.swf.empty() && !AddSource(s.swf, false, "movie")) return false;
        for (const std::string& extra : window.ExtraFiles()) {
            if (!AddSource(extra, true, "extra file")) return false;
        }
        for (const auto& sub : window.SubWindows()) {
            if (!AddWindow(*sub)) return false;
        }
        return true;
    }

    bool AddMask(const WindowData& window, uint32_t index) {
        const std::string& path = window.Settings().windowMask;
        if (path.empty()) return true;
        ExportMask mask;
        mask.windowIndex = index;
        mask.image.path = path;
        mask.image.name = PathLastComponent(path);
        if (!CheckTopLevelName(mask.image.name, path) || !CheckReadable(path, "mask image", false))
            return false;
        for (const ExportMask& other : plan->masks) {
            // The projector keeps one mask per name: a second image under
            // that name would shape its window with the first one's region.
            if (Lower(other.image.name) == Lower(mask.image.name) &&
                Lower(other.image.path) != Lower(path)) {
                return Fail("The masks " + Quoted(other.image.path) + " and " + Quoted(path) +
                            " would unpack under one name; rename one of them.");
            }
        }
        plan->masks.push_back(mask);
        return true;
    }
};

}  // namespace

bool IsReservedItemName(const std::string& name) {
    std::string lower = Lower(name);
    return lower == kSettingsFileName || lower == "npfp.dll";
}

bool IsValidOutputName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\:") == std::string::npos && name.find('\0') == std::string::npos;
}

std::string AbsoluteOutputFolder(const Project& project) {
    std::string folder = AbsoluteForm(project.Settings().outputFolder);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

bool ReadableFileSize(const std::string& path, uint64_t* size) {
    BinaryFile file;
    int64_t length = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (length < 0) return false;
    *size = static_cast<uint64_t>(length);
    return true;
}

WindowDefinition SettingsOfWindow(const WindowData& window) {
    const WindowSettings& s = window.Settings();
    WindowDefinition d;
    d.moviePath = s.swf.empty() ? std::string() : PathLastComponent(s.swf);
    d.name = s.windowName;
    d.title = s.windowTitle;
    d.maskPath = s.windowMask.empty() ? std::string() : PathLastComponent(s.windowMask);
    d.type = s.windowType;
    d.style = s.windowStyle;
    d.sizeMode = s.windowSize;
    d.positionMode = s.windowPosition;
    d.x = s.windowX;
    d.y = s.windowY;
    d.width = s.windowWidth;
    d.height = s.windowHeight;
    d.widthPercent = s.windowWidthPercent;
    d.heightPercent = s.windowHeightPercent;
    d.hasMaximize = s.windowHasMaximize;
    d.hasMinimize = s.windowHasMinimize;
    d.hasClose = s.windowHasClose;
    d.resizable = s.windowIsResizable;
    d.visible = s.windowIsVisible;
    d.hasMenu = s.windowHasMenu;
    d.fullScreen = s.windowFullscreen;
    d.exitOnEscape = s.exitOnEscape;
    d.useBackgroundColor = s.useFlashBgcolor;
    d.showFlashMenu = s.flashShowMenu;
    d.loopMovie = s.flashLoopMovie;
    d.leftMouseAction = s.leftMouseAction;
    d.rightMouseAction = s.rightMouseAction;
    d.backgroundColor = s.flashBgcolor;
    d.quality = s.flashQuality;
    d.scale = s.flashScale;
    for (const auto& sub : window.SubWindows())
        d.additionalWindows.push_back(SettingsOfWindow(*sub));
    return d;
}

bool MakeExportPlan(const Project& project, ExportPlan* plan, std::string* message) {
    *plan = ExportPlan();
    PlanBuilder builder{plan, message};
    const WindowData& main = project.MainWindow();
    if (!builder.AddMask(main, 0)) return false;
    for (size_t i = 0; i < main.SubWindows().size(); ++i) {
        if (!builder.AddMask(*main.SubWindows()[i], static_cast<uint32_t>(i + 1))) return false;
    }
    if (!builder.AddWindow(main)) return false;
    // The icons of the ticked targets, so that no target is built when a
    // later one would fail on its icon.
    const ProjectSettings& s = project.Settings();
    const bool mac = s.outputMacppc || s.outputMacintel || s.outputMacuniversal;
    if ((s.outputWin && s.outputWinAppicon &&
         !builder.CheckReadable(s.outputWinAppiconPath, "icon", false)) ||
        (mac && s.outputMacAppicon &&
         !builder.CheckReadable(s.outputMacAppiconPath, "icon", false)) ||
        (s.outputLinux && s.outputLinuxAppicon &&
         !builder.CheckReadable(s.outputLinuxAppiconPath, "icon", false))) {
        return false;
    }
    plan->settings = SettingsOfWindow(main);
    return true;
}

}  // namespace kestrel
