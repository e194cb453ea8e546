// Reads project files (".kstl") and undo snapshots into a Project. The file
// is checked whole before the project is touched: a file that holds no
// project, or one nested too deeply, leaves the project as it was.
#pragma once

#include <cstddef>
#include <string>

#include "builder/project.h"
#include "builder/project_file_error.h"

namespace kestrel {

// Sub-windows nest at most this deep (the main window's own are level 1).
inline constexpr int kMaxSubWindowDepth = 32;

// Every "skylet_datalist" inside each "kestrel" child of the root element is
// read in turn (each resets the project first). On success the project's
// name becomes the file's base name.
ProjectFileError LoadProjectFile(Project& project, const std::string& path);
// The same over the file's bytes, leaving the project name alone.
ProjectFileError ReadProjectText(Project& project, const void* data, size_t size);

// Snapshots hold their data lists directly under the root element.
ProjectFileError LoadSnapshotFile(Project& project, const std::string& path);
ProjectFileError ReadSnapshotText(Project& project, const void* data, size_t size);

}  // namespace kestrel
