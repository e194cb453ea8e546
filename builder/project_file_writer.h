// Writes projects as project files (".kstl") and as undo snapshots: fixed
// text, CR LF line ends, every attribute always, in its fixed order.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "builder/project.h"
#include "builder/project_file_error.h"
#include "common/xml_text_writer.h"

namespace kestrel {

// The data list element with the main window and, recursively, its
// sub-windows: the part that project files and snapshots share.
void WriteDataList(XmlTextWriter& xml, const Project& project);

// The whole file: the xml wrapper, the kestrel root and the data list.
std::string WriteProjectText(const Project& project);
// A snapshot: the xml wrapper and the data list, without the kestrel root.
std::string WriteSnapshotText(const Project& project);

// Writes `text` as the whole file at `path` through a temporary file beside
// it, so a failure leaves an old file byte for byte. `failWritesAfter` is for
// tests: writes beyond that many bytes fail, as on a full disk.
ProjectFileError SaveTextFile(const std::string& path, const std::string& text,
                              uint64_t failWritesAfter = std::numeric_limits<uint64_t>::max());

// Saves the project; on success its name becomes the file's base name (which
// re-derives default file names).
ProjectFileError SaveProjectFile(Project& project, const std::string& path);
ProjectFileError SaveSnapshotFile(const Project& project, const std::string& path);

}  // namespace kestrel
