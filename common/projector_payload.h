// Writes a whole projector payload behind a stub that is already in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/payload_writer.h"
#include "common/window_definition.h"

namespace kestrel {

struct PayloadAttachment {
    std::string path;       // a file or folder on disk
    bool isFolder = false;  // folder: its files (not subfolders) as one folder item
};

// What one window brings into the payload, by window index (0 the main
// window, i the additional window i - 1).
struct PayloadWindowContent {
    std::string moviePath;                       // written as a file item; empty = none
    std::vector<PayloadAttachment> attachments;  // in list order
    std::string maskName;                        // mask image name without folder
    std::vector<uint8_t> maskRegion;             // region data; empty = no mask item
};

struct ProjectorPayload {
    // Written as the settings document; its movie and mask fields hold names.
    WindowDefinition mainWindow;
    std::vector<PayloadWindowContent> windows;
};

// Appends to `exePath`: the start marker; the mask items by window index;
// each window's movie and attachments; the settings item; the end mark.
// On failure the file holds a partial payload: the caller deletes it.
PayloadWriteError WriteProjectorPayload(const std::string& exePath,
                                        const ProjectorPayload& payload);

}  // namespace kestrel
