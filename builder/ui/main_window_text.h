// The main window's title and the arithmetic of its resize rule.
#pragma once

#include <string>

namespace kestrel {

inline constexpr char kProgramTitle[] = "Kestrel";

// "Kestrel: " and the project's display name: the full path or the file name
// with its extension; "Untitled" while the project has no file.
std::string MainWindowTitle(const std::string& projectPath, bool displayFullPath);

// "Version 1.001" for 1.1.
std::string VersionLine(int major, int minor);

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// How far the client area grew beyond its initial size, never below 0: the
// window never lays out smaller than its initial layout.
struct LayoutDeltas {
    int width = 0;
    int height = 0;
};
LayoutDeltas GrowthBeyond(int initialWidth, int initialHeight, int width, int height);

// From the initial rectangle, never the current one, so resizing never drifts.
LayoutRect Grown(const LayoutRect& initial, const LayoutDeltas& deltas);
LayoutRect MovedDown(const LayoutRect& initial, const LayoutDeltas& deltas);

}  // namespace kestrel
