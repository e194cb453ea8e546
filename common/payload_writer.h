// Appends payload fields and items to a projector executable.
//
// The writer keeps a sticky status: after the first failure every further
// call does nothing and returns 0, and ok()/error() tell what went wrong, so a
// caller can write a whole payload and check once at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/binary_file.h"
#include "common/payload_format.h"

namespace kestrel {

enum class PayloadWriteError {
    None,
    CannotOpen,        // the output file could not be opened for appending
    WriteFailed,       // a write to the output failed (disk full, ...)
    NameRefused,       // a name longer than 255 bytes or not IsSafeItemName()
    SourceTooLarge,    // a blob larger than 4 GiB - 1 bytes
    SourceUnreadable,  // with requireReadableSources: a source file could not be read whole
    Closed,            // used after writeEndMark()
};

const char* ToString(PayloadWriteError error);

class PayloadWriter {
  public:
    // Opens `path` for binary appending (creating it if needed).
    explicit PayloadWriter(const std::string& path);

    bool ok() const { return error_ == PayloadWriteError::None; }
    PayloadWriteError error() const { return error_; }

    // For exports: a source file that cannot be opened or read whole fails
    // the writer (SourceUnreadable) instead of giving an empty or short
    // blob, and failedSource() names it.
    void requireReadableSources() { requireReadableSources_ = true; }
    const std::string& failedSource() const { return failedSource_; }
    // Called after every chunk copied from a source file, with the bytes
    // copied from source files so far.
    void setProgress(std::function<void(uint64_t)> progress) { progress_ = std::move(progress); }

    // Primitive fields. Each returns the bytes written (length word included),
    // or 0 on failure.
    uint32_t writeStartMarker();  // a type-0 trailer with size 0
    uint32_t writeBlob(const void* data, size_t size);
    uint32_t writeBlob(const std::vector<uint8_t>& bytes) {
        return writeBlob(bytes.data(), bytes.size());
    }
    // Copies the file in bounded chunks. A file that cannot be read gives an
    // empty blob (length 0); a file larger than 4 GiB - 1 fails the writer.
    uint32_t writeBlobFromFile(const std::string& path);
    uint32_t writeName(const std::string& name);  // refuses unsafe or over-long names
    uint32_t writeInteger(uint32_t value);
    uint32_t writeTrailer(PayloadItemType type, uint32_t size);

    // Whole items, trailer included; each returns the bytes written or 0.
    uint32_t writeSettingsItem(const std::string& document);
    // A file item for the file at `path`, named by the path's last component.
    uint32_t writeFileItem(const std::string& path);
    // A file item from bytes in memory.
    uint32_t writeFileItem(const std::string& name, const std::vector<uint8_t>& content);
    uint32_t writeMaskItem(const std::vector<uint8_t>& region, const std::string& maskName,
                           uint32_t windowIndex);
    // A folder item with one file item per regular file directly inside
    // `folderPath`. Subfolders are not carried: the reader would create a
    // nested folder directly in the unpack folder rather than inside its
    // parent, so carrying them would move files to places the movie does not
    // expect and could collide with other items.
    uint32_t writeFolderItem(const std::string& folderPath);

    // Writes the end mark and closes the file. Returns false if any step of
    // the payload failed.
    bool writeEndMark();

  private:
    bool writeRaw(const void* data, size_t size);
    uint32_t fail(PayloadWriteError error);

    BinaryFile file_;
    PayloadWriteError error_ = PayloadWriteError::None;
    bool requireReadableSources_ = false;
    std::string failedSource_;
    std::function<void(uint64_t)> progress_;
    uint64_t sourceBytesCopied_ = 0;
};

// The last component of a path, split at "/" and (on every platform) "\".
std::string PathLastComponent(const std::string& path);

}  // namespace kestrel
