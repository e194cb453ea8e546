// The payload is read backwards from the end mark. `position_` is the offset
// of the first byte after the unread part: every read takes the bytes just
// before it and moves it down. Before any bytes are read their count is
// checked against `position_`, so no read ever reaches before the start of
// the file, and the position only ever decreases, so the scan ends.
#include "common/payload_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/file_system.h"
#include "common/payload_format.h"

namespace kestrel {

namespace {

// Folders nest only by damage or malice (the writer does not nest them);
// bounding the depth keeps the recursion's stack use small.
constexpr int kMaxFolderDepth = 32;

uint32_t LoadWord(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

PayloadReader::PayloadReader(std::string unpackFolder) : unpackFolder_(std::move(unpackFolder)) {}

PayloadError PayloadReader::open(const std::string& path) {
    if (!PathExists(path)) return PayloadError::NotFound;
    if (IsDirectory(path) || !file_.open(path, BinaryFile::Mode::Read)) {
        return PayloadError::CannotOpen;
    }
    return PayloadError::None;
}

bool PayloadReader::readWord(uint32_t* value) {
    if (position_ < static_cast<int64_t>(kPayloadWordSize)) return false;
    uint8_t bytes[kPayloadWordSize];
    if (!file_.seek(position_ - kPayloadWordSize) || !file_.readExactly(bytes, sizeof bytes)) {
        return false;
    }
    position_ -= kPayloadWordSize;
    *value = LoadWord(bytes);
    return true;
}

bool PayloadReader::skipBytes(uint32_t count) {
    if (count > position_) return false;
    position_ -= count;
    return true;
}

bool PayloadReader::readName(std::string* name, bool* safe) {
    uint32_t length = 0;
    if (!readWord(&length) || length > position_) return false;
    if (length > kMaxItemNameLength) {
        // Never written by the writer; consumed without holding it.
        name->clear();
        *safe = false;
        return skipBytes(length);
    }
    name->assign(length, '\0');
    if (!file_.seek(position_ - length) || !file_.readExactly(&(*name)[0], length)) return false;
    position_ -= length;
    *safe = IsSafeItemName(*name);
    return true;
}

bool PayloadReader::skipBlob() {
    uint32_t length = 0;
    return readWord(&length) && skipBytes(length);
}

bool PayloadReader::copyBlobTo(const std::string& path, bool replace, bool* written) {
    *written = false;
    uint32_t length = 0;
    if (!readWord(&length) || length > position_) return false;
    const int64_t start = position_ - length;
    position_ = start;
    if (!replace && PathExists(path)) return true;

    BinaryFile out;
    // A file that cannot be created is skipped; its blob is still consumed.
    if (!out.open(path, BinaryFile::Mode::WriteTruncate)) return true;
    // Grown to the largest blob seen, at most one chunk.
    if (chunk_.size() < std::min<size_t>(length, kCopyChunkSize)) {
        chunk_.resize(std::min<size_t>(length, kCopyChunkSize));
    }
    uint32_t copied = 0;
    bool readFailed = false;
    bool writeFailed = false;
    if (!file_.seek(start)) readFailed = true;
    while (!readFailed && !writeFailed && copied < length) {
        size_t want = std::min<size_t>(chunk_.size(), length - copied);
        if (!file_.readExactly(chunk_.data(), want)) {
            readFailed = true;
        } else if (!out.write(chunk_.data(), want)) {
            writeFailed = true;
        } else {
            copied += static_cast<uint32_t>(want);
        }
    }
    if (!out.close()) writeFailed = true;
    if (readFailed || writeFailed) {
        // No half-written files: a write failure (disk full) skips the file
        // like a file that cannot be created; a read failure is damage.
        RemoveFile(path);
        return !readFailed;
    }
    *written = true;
    return true;
}

PayloadError PayloadReader::readSettingsItem() {
    std::string path = JoinPath(unpackFolder_, kSettingsFileName);
    bool written = false;
    if (!copyBlobTo(path, true, &written)) return PayloadError::Damaged;
    settingsPath_ = path;
    return PayloadError::None;
}

PayloadError PayloadReader::readFileItem(const std::string& folder, bool discard) {
    std::string name;
    bool safe = false;
    if (!readName(&name, &safe)) return PayloadError::Damaged;
    if (discard || !safe) return skipBlob() ? PayloadError::None : PayloadError::Damaged;
    std::string path = JoinPath(folder, name);
    bool written = false;
    if (!copyBlobTo(path, true, &written)) return PayloadError::Damaged;
    filePaths_.push_back(path);
    return PayloadError::None;
}

PayloadError PayloadReader::readMaskItem() {
    uint32_t windowIndex = 0;
    std::string name;
    bool safe = false;
    if (!readWord(&windowIndex) || !readName(&name, &safe)) return PayloadError::Damaged;
    if (!safe) return skipBlob() ? PayloadError::None : PayloadError::Damaged;
    // The first mask of a name read (the last written) is kept.
    std::string path = JoinPath(unpackFolder_, name);
    bool written = false;
    if (!copyBlobTo(path, false, &written)) return PayloadError::Damaged;
    maskPaths_.push_back(path);
    return PayloadError::None;
}

PayloadError PayloadReader::readFolderItem(int depth) {
    if (depth > kMaxFolderDepth) return PayloadError::Damaged;
    std::string name;
    bool safe = false;
    if (!readName(&name, &safe)) return PayloadError::Damaged;
    // Every folder, nested ones too, is created directly in the unpack folder.
    std::string folder = safe ? JoinPath(unpackFolder_, name) : std::string();
    if (safe) MakeDirectory(folder);
    for (;;) {
        uint32_t type = 0;
        uint32_t size = 0;
        if (!readWord(&type) || !readWord(&size)) return PayloadError::Damaged;
        PayloadError error = PayloadError::None;
        if (type == static_cast<uint32_t>(PayloadItemType::File)) {
            error = readFileItem(folder, !safe);
        } else if (type == static_cast<uint32_t>(PayloadItemType::Folder)) {
            error = readFolderItem(depth + 1);
        } else {
            return PayloadError::None;  // the folder's start marker
        }
        if (error != PayloadError::None) return error;
    }
}

PayloadError PayloadReader::scan() {
    if (!file_.isOpen()) return PayloadError::CannotOpen;
    int64_t size = file_.size();
    if (size < 0) return PayloadError::CannotOpen;
    uint8_t endMark[sizeof kPayloadEndMark];
    if (size < static_cast<int64_t>(sizeof endMark) || !file_.seek(size - sizeof endMark) ||
        !file_.readExactly(endMark, sizeof endMark) ||
        std::memcmp(endMark, kPayloadEndMark, sizeof endMark) != 0) {
        return PayloadError::NoEndMark;
    }
    position_ = size - static_cast<int64_t>(sizeof endMark);

    for (;;) {
        uint32_t type = 0;
        uint32_t itemSize = 0;
        if (!readWord(&type) || !readWord(&itemSize)) return PayloadError::Damaged;
        PayloadError error = PayloadError::None;
        switch (type) {
            case static_cast<uint32_t>(PayloadItemType::Settings):
                error = readSettingsItem();
                break;
            case static_cast<uint32_t>(PayloadItemType::File):
                error = readFileItem(unpackFolder_, false);
                break;
            case static_cast<uint32_t>(PayloadItemType::Mask):
                error = readMaskItem();
                break;
            case static_cast<uint32_t>(PayloadItemType::Folder):
                error = readFolderItem(0);
                break;
            default:
                // The start marker, or a type this reader does not know: the
                // payload ends here.
                return PayloadError::None;
        }
        if (error != PayloadError::None) return error;
    }
}

PayloadError PayloadReader::settingsPath(std::string* path) const {
    if (settingsPath_.empty() || !PathExists(settingsPath_) || IsDirectory(settingsPath_)) {
        return PayloadError::NoSettings;
    }
    *path = settingsPath_;
    return PayloadError::None;
}

void PayloadReader::cleanUp() {
    for (const std::string& path : filePaths_) RemoveFile(path);
    for (const std::string& path : maskPaths_) RemoveFile(path);
    // Normally deleted right after it was read; removed here too so a failed
    // start-up leaves nothing behind.
    if (!settingsPath_.empty()) RemoveFile(settingsPath_);
    filePaths_.clear();
    maskPaths_.clear();
}

}  // namespace kestrel
