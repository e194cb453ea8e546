#include "builder/ui/main_window_text.h"

#include "builder/ui/text_format.h"

namespace kestrel {

std::string MainWindowTitle(const std::string& projectPath, bool displayFullPath) {
    std::string name = "Untitled";
    if (!projectPath.empty()) {
        if (displayFullPath) {
            name = projectPath;
        } else {
            const size_t slash = projectPath.find_last_of("\\/");
            name = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);
        }
    }
    return std::string(kProgramTitle) + ": " + name;
}

std::string VersionLine(int major, int minor) {
    return FormatText("Version %d.%03d", major, minor);
}

LayoutDeltas GrowthBeyond(int initialWidth, int initialHeight, int width, int height) {
    LayoutDeltas deltas;
    deltas.width = width > initialWidth ? width - initialWidth : 0;
    deltas.height = height > initialHeight ? height - initialHeight : 0;
    return deltas;
}

LayoutRect Grown(const LayoutRect& initial, const LayoutDeltas& deltas) {
    return {initial.left, initial.top, initial.right + deltas.width,
            initial.bottom + deltas.height};
}

LayoutRect MovedDown(const LayoutRect& initial, const LayoutDeltas& deltas) {
    return {initial.left, initial.top + deltas.height, initial.right,
            initial.bottom + deltas.height};
}

}  // namespace kestrel
