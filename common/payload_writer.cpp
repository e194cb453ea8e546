#include "common/payload_writer.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "common/file_system.h"

namespace kestrel {

namespace {

constexpr size_t kCopyChunkSize = 1 << 20;
constexpr uint64_t kMaxBlobSize = std::numeric_limits<uint32_t>::max();

void StoreWord(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

}  // namespace

const char* ToString(PayloadWriteError error) {
    switch (error) {
        case PayloadWriteError::None:
            return "no error";
        case PayloadWriteError::CannotOpen:
            return "output cannot be opened";
        case PayloadWriteError::WriteFailed:
            return "write to output failed";
        case PayloadWriteError::NameRefused:
            return "item name refused";
        case PayloadWriteError::SourceTooLarge:
            return "file too large for the payload";
        case PayloadWriteError::SourceUnreadable:
            return "file cannot be read";
        case PayloadWriteError::Closed:
            return "payload already closed";
    }
    return "unknown payload write error";
}

std::string PathLastComponent(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && (path[end - 1] == '/' || path[end - 1] == '\\')) --end;
    size_t start = path.find_last_of("/\\", end == 0 ? 0 : end - 1);
    start = (start == std::string::npos || start >= end) ? 0 : start + 1;
    return path.substr(start, end - start);
}

PayloadWriter::PayloadWriter(const std::string& path) {
    if (!file_.open(path, BinaryFile::Mode::Append)) error_ = PayloadWriteError::CannotOpen;
}

uint32_t PayloadWriter::fail(PayloadWriteError error) {
    if (ok()) error_ = error;
    return 0;
}

bool PayloadWriter::writeRaw(const void* data, size_t size) {
    if (!ok()) return false;
    if (!file_.isOpen()) {
        fail(PayloadWriteError::Closed);
        return false;
    }
    if (!file_.write(data, size)) {
        fail(PayloadWriteError::WriteFailed);
        return false;
    }
    return true;
}

uint32_t PayloadWriter::writeInteger(uint32_t value) {
    uint8_t word[kPayloadWordSize];
    StoreWord(word, value);
    return writeRaw(word, sizeof word) ? static_cast<uint32_t>(sizeof word) : 0;
}

uint32_t PayloadWriter::writeTrailer(PayloadItemType type, uint32_t size) {
    if (!writeInteger(size) || !writeInteger(static_cast<uint32_t>(type))) return 0;
    return kPayloadTrailerSize;
}

uint32_t PayloadWriter::writeStartMarker() {
    return writeTrailer(PayloadItemType::StartMarker, 0);
}

uint32_t PayloadWriter::writeBlob(const void* data, size_t size) {
    if (!ok()) return 0;
    if (size > kMaxBlobSize - kPayloadWordSize) return fail(PayloadWriteError::SourceTooLarge);
    if (!writeRaw(data, size) || !writeInteger(static_cast<uint32_t>(size))) return 0;
    return static_cast<uint32_t>(size + kPayloadWordSize);
}

uint32_t PayloadWriter::writeBlobFromFile(const std::string& path) {
    if (!ok()) return 0;
    BinaryFile source;
    int64_t size = source.open(path, BinaryFile::Mode::Read) ? source.size() : -1;
    if (size < 0 || !source.seek(0)) {
        if (!requireReadableSources_) return writeBlob(nullptr, 0);
        failedSource_ = path;
        return fail(PayloadWriteError::SourceUnreadable);
    }
    if (static_cast<uint64_t>(size) > kMaxBlobSize - kPayloadWordSize) {
        failedSource_ = path;
        return fail(PayloadWriteError::SourceTooLarge);
    }
    // The length follows the bytes, so a file that shrinks while it is copied
    // still gives a consistent field: the length counts what was written.
    std::vector<char> chunk(kCopyChunkSize);
    uint64_t copied = 0;
    while (copied < static_cast<uint64_t>(size)) {
        size_t want = static_cast<size_t>(
            std::min<uint64_t>(chunk.size(), static_cast<uint64_t>(size) - copied));
        if (!source.readExactly(chunk.data(), want)) {
            if (!requireReadableSources_) break;
            failedSource_ = path;
            return fail(PayloadWriteError::SourceUnreadable);
        }
        if (!writeRaw(chunk.data(), want)) return 0;
        copied += want;
        sourceBytesCopied_ += want;
        if (progress_) progress_(sourceBytesCopied_);
    }
    if (!writeInteger(static_cast<uint32_t>(copied))) return 0;
    return static_cast<uint32_t>(copied + kPayloadWordSize);
}

uint32_t PayloadWriter::writeName(const std::string& name) {
    if (!ok()) return 0;
    if (!IsSafeItemName(name)) return fail(PayloadWriteError::NameRefused);
    return writeBlob(name.data(), name.size());
}

uint32_t PayloadWriter::writeSettingsItem(const std::string& document) {
    uint32_t size = writeBlob(document.data(), document.size());
    if (!size || !writeTrailer(PayloadItemType::Settings, size)) return 0;
    return size + kPayloadTrailerSize;
}

uint32_t PayloadWriter::writeFileItem(const std::string& path) {
    std::string name = PathLastComponent(path);
    // Check the name first so a refused name does not leave a blob behind.
    if (!ok()) return 0;
    if (!IsSafeItemName(name)) return fail(PayloadWriteError::NameRefused);
    uint32_t blob = writeBlobFromFile(path);
    uint32_t nameSize = blob ? writeName(name) : 0;
    if (!nameSize) return 0;
    uint32_t size = blob + nameSize;
    if (!writeTrailer(PayloadItemType::File, size)) return 0;
    return size + kPayloadTrailerSize;
}

uint32_t PayloadWriter::writeFileItem(const std::string& name,
                                      const std::vector<uint8_t>& content) {
    if (!ok()) return 0;
    if (!IsSafeItemName(name)) return fail(PayloadWriteError::NameRefused);
    uint32_t blob = writeBlob(content);
    uint32_t nameSize = blob ? writeName(name) : 0;
    if (!nameSize) return 0;
    uint32_t size = blob + nameSize;
    if (!writeTrailer(PayloadItemType::File, size)) return 0;
    return size + kPayloadTrailerSize;
}

uint32_t PayloadWriter::writeMaskItem(const std::vector<uint8_t>& region,
                                      const std::string& maskName, uint32_t windowIndex) {
    if (!ok()) return 0;
    if (!IsSafeItemName(maskName)) return fail(PayloadWriteError::NameRefused);
    uint32_t blob = writeBlob(region);
    uint32_t nameSize = blob ? writeName(maskName) : 0;
    if (!nameSize || !writeInteger(windowIndex)) return 0;
    uint32_t size = blob + nameSize + kPayloadWordSize;
    if (!writeTrailer(PayloadItemType::Mask, size)) return 0;
    return size + kPayloadTrailerSize;
}

uint32_t PayloadWriter::writeFolderItem(const std::string& folderPath) {
    if (!ok()) return 0;
    std::string name = PathLastComponent(folderPath);
    if (!IsSafeItemName(name)) return fail(PayloadWriteError::NameRefused);
    // The start marker closes the folder's contents for the backwards reader
    // and is not counted in the folder's size.
    if (!writeStartMarker()) return 0;
    uint64_t size = 0;
    for (const std::string& file : ListFiles(folderPath)) {
        uint32_t item = writeFileItem(JoinPath(folderPath, file));
        if (!item) return 0;
        size += item;
    }
    uint32_t nameSize = writeName(name);
    if (!nameSize) return 0;
    size += nameSize;
    // The size word is informative only (no reader uses it); saturate
    // rather than wrap for folders beyond 4 GiB.
    uint32_t sizeWord = static_cast<uint32_t>(std::min<uint64_t>(size, kMaxBlobSize));
    if (!writeTrailer(PayloadItemType::Folder, sizeWord)) return 0;
    return static_cast<uint32_t>(std::min<uint64_t>(size + kPayloadTrailerSize * 2, kMaxBlobSize));
}

bool PayloadWriter::writeEndMark() {
    writeRaw(kPayloadEndMark, sizeof kPayloadEndMark);
    if (!file_.close()) fail(PayloadWriteError::WriteFailed);
    return ok();
}

}  // namespace kestrel
