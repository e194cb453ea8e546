// Unpacks the payload of a projector executable into its unpack folder.
//
// Usage at start-up:
//   PayloadReader reader(unpackFolder);
//   PayloadError e = reader.open(exePath);
//   if (e == PayloadError::None) e = reader.scan();
//   std::string settings;
//   if (e == PayloadError::None) e = reader.settingsPath(&settings);
//   ... read the settings, delete the file; at shutdown reader.cleanUp().
//
// Safety: every length and position is checked against the file before it
// is used, so a damaged payload fails with PayloadError::Damaged (103) and
// nothing is read outside the file. Item names that IsSafeItemName() refuses
// are consumed without writing anything, so nothing is written outside the
// unpack folder. Blobs are copied in bounded chunks, so memory use does not
// grow with the payload.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/payload_error.h"

namespace kestrel {

class PayloadReader {
  public:
    // Paths of unpacked items are formed as JoinPath(unpackFolder, name).
    explicit PayloadReader(std::string unpackFolder);

    // NotFound (100) when `path` does not exist, CannotOpen (101) when it
    // cannot be opened for binary reading.
    PayloadError open(const std::string& path);

    // Reads the payload from the end mark backwards and unpacks every item.
    // NoEndMark (102) when the file does not end with the end mark, Damaged
    // (103) when the payload is damaged; items unpacked before the damage
    // was found stay recorded so cleanUp() can remove them. An unknown item
    // type ends the scan successfully.
    PayloadError scan();

    // The unpacked settings document, or NoSettings (4) when none was
    // unpacked or its file is missing.
    PayloadError settingsPath(std::string* path) const;

    // Paths of the unpacked file items (also those inside folders) and mask
    // items, in reading order.
    const std::vector<std::string>& filePaths() const { return filePaths_; }
    const std::vector<std::string>& maskPaths() const { return maskPaths_; }

    // Deletes every unpacked file item and mask item, and the settings
    // document if it is still there. Folders are left for
    // RemoveDirectoryTree() on the unpack folder.
    void cleanUp();

    // Copy chunk size; public so the benchmark and tests can refer to it.
    static constexpr size_t kCopyChunkSize = 1 << 20;

  private:
    // Position of the next byte to be read backwards: bytes [0, position_)
    // are still unread.
    // Each returns false when the payload is damaged.
    bool readWord(uint32_t* value);
    bool readName(std::string* name, bool* safe);
    bool skipBytes(uint32_t count);
    bool copyBlobTo(const std::string& path, bool replace, bool* written);
    bool skipBlob();
    PayloadError readSettingsItem();
    PayloadError readFileItem(const std::string& folder, bool discard);
    PayloadError readMaskItem();
    PayloadError readFolderItem(int depth);

    std::string unpackFolder_;
    BinaryFile file_;
    int64_t position_ = 0;
    std::string settingsPath_;
    std::vector<std::string> filePaths_;
    std::vector<std::string> maskPaths_;
    std::vector<char> chunk_;
};

}  // namespace kestrel
