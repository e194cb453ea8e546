// A file written under a temporary name beside its target and put in its
// place only when every byte is written and flushed: a failure at any point
// leaves the old file as it was and no partial file behind.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "common/binary_file.h"

namespace kestrel {

class ReplacingFile {
  public:
    enum class Result { Done, CannotCreate, CannotWrite, CannotReplace };

    ReplacingFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates "<target>.partial", replacing a leftover of an earlier run.
    bool Open(const std::string& target);
    // False once any write failed; later writes fail too.
    bool Write(const void* data, size_t size);
    // Flushes, closes and renames over the target.
    Result Commit();

    // For tests: writes beyond this many bytes fail, as on a full disk.
    void FailWritesAfter(uint64_t bytes) { writeLimit_ = bytes; }

  private:
    BinaryFile file_;
    std::string target_;
    std::string temporary_;
    uint64_t written_ = 0;
    uint64_t writeLimit_ = std::numeric_limits<uint64_t>::max();
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace kestrel
