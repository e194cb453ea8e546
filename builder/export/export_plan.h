// What an export carries, gathered from the project and checked before any
// output is touched: every movie, extra file, folder, mask and icon must be
// readable, and every name the projector would unpack must be one it can.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/project.h"
#include "common/window_definition.h"

namespace kestrel {

struct ExportSource {
    std::string path;  // absolute, as the project holds it
    std::string name;  // the last component: its name in the payload or bundle
    bool isFolder = false;
};

struct ExportMask {
    uint32_t windowIndex = 0;  // 0 the main window, i its i-th direct sub-window
    ExportSource image;
};

struct ExportPlan {
    // The settings document's windows: movies and masks by name only.
    WindowDefinition settings;
    // Every movie and extra file, window by window depth first from the
    // main window, each window's movie before its extra files.
    std::vector<ExportSource> sources;
    std::vector<ExportMask> masks;
    uint64_t sourceBytes = 0;  // what the payload copies, for progress
};

// Fills `plan` from `project`, or answers false with a message that names
// the file or name at fault.
bool MakeExportPlan(const Project& project, ExportPlan* plan, std::string* message);

// The window definitions of the settings document for a window tree.
WindowDefinition SettingsOfWindow(const WindowData& window);

// Names a projector writes into its unpack folder itself ("sk.dat",
// "npfp.dll"), compared ignoring case as Windows does.
bool IsReservedItemName(const std::string& name);

// True when `name` can name an output directly in the output folder: not
// empty, no path separator or drive colon, not "." or "..".
bool IsValidOutputName(const std::string& name);

// The absolute output folder without a trailing separator: the folder the
// replace prompt names.
std::string AbsoluteOutputFolder(const Project& project);

// True when the file opens for reading; `size` gets its length.
bool ReadableFileSize(const std::string& path, uint64_t* size);

}  // namespace kestrel
