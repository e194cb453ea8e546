// Reads arbitrary bytes as a project file and as an undo snapshot. What a
// read accepts, written and read again, must write the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "builder/project_file_reader.h"
#include "builder/project_file_writer.h"

namespace {

using namespace kestrel;

void RoundTrip(const std::string& first, bool snapshot) {
    // A NUL decoded from "&#x00;" cannot travel in an attribute value.
    if (first.find('\0') != std::string::npos) return;
    Project project;
    ProjectFileError error = snapshot ? ReadSnapshotText(project, first.data(), first.size())
                                      : ReadProjectText(project, first.data(), first.size());
    if (error != ProjectFileError::None) std::abort();
    if ((snapshot ? WriteSnapshotText(project) : WriteProjectText(project)) != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool snapshot : {false, true}) {
        Project project;
        ProjectFileError error =
            snapshot ? ReadSnapshotText(project, data, size) : ReadProjectText(project, data, size);
        if (error != ProjectFileError::None) continue;
        // The first write puts paths in absolute form; from then on a round
        // trip changes nothing.
        RoundTrip(snapshot ? WriteSnapshotText(project) : WriteProjectText(project), snapshot);
    }
    return 0;
}
