// A binary file handle with 64-bit positions: the owner of one FILE*.
// Unbuffered, because every caller reads and writes in large chunks or a few
// words at known positions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kestrel {

class BinaryFile {
  public:
    enum class Mode { Read, WriteTruncate, Append };

    BinaryFile() = default;
    ~BinaryFile() { close(); }
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    bool open(const std::string& path, Mode mode);
    bool isOpen() const { return file_ != nullptr; }
    // Returns false if flushing or closing failed (data may be lost).
    bool close();

    // Size in bytes, or -1 on failure. Moves the position to the end.
    int64_t size();
    bool seek(int64_t position);
    // Reads exactly `size` bytes; false on a short read.
    bool readExactly(void* data, size_t size);
    bool write(const void* data, size_t size);
    // Pushes everything written so far to the disk itself.
    bool flushToDisk();

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace kestrel
