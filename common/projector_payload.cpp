#include "common/projector_payload.h"

#include "common/settings_writer.h"

namespace kestrel {

PayloadWriteError WriteProjectorPayload(const std::string& exePath,
                                        const ProjectorPayload& payload) {
    PayloadWriter writer(exePath);
    writer.writeStartMarker();
    // Masks first: the reader meets them last, after the files they may
    // share a name with.
    for (size_t index = 0; index < payload.windows.size(); ++index) {
        const PayloadWindowContent& window = payload.windows[index];
        if (!window.maskRegion.empty()) {
            writer.writeMaskItem(window.maskRegion, window.maskName, static_cast<uint32_t>(index));
        }
    }
    for (const PayloadWindowContent& window : payload.windows) {
        if (!window.moviePath.empty()) writer.writeFileItem(window.moviePath);
        for (const PayloadAttachment& attachment : window.attachments) {
            if (attachment.isFolder) {
                writer.writeFolderItem(attachment.path);
            } else {
                writer.writeFileItem(attachment.path);
            }
        }
    }
    writer.writeSettingsItem(WriteSettingsDocument(payload.mainWindow));
    writer.writeEndMark();
    return writer.error();
}

}  // namespace kestrel
