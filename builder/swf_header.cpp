#include "builder/swf_header.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/binary_file.h"
#include "common/file_system.h"

namespace kestrel {

namespace {

/*
 * The header is 8 fixed bytes (signature, version, length) and a body of at
 * most 21 bytes: the stage rectangle (5 bits Nbits, four Nbits-bit fields,
 * padded to a byte: at most 17 bytes for Nbits 31), the frame rate and the
 * frame count. A "CWS" movie deflates everything after the fixed bytes, so
 * only the body has to be inflated, never the whole movie.
 */
constexpr size_t kFixedSize = 8;
constexpr size_t kMaxBodySize = 21;
// Compressed input taken per step; the body usually comes out of the first.
constexpr size_t kInflateChunk = 256;

// Where the header's bytes come from: a file or a buffer.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` further bytes; fewer only at the end (or on a failed read).
    virtual size_t Read(uint8_t* data, size_t size) = 0;
};

class MemorySource : public ByteSource {
  public:
    MemorySource(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}
    size_t Read(uint8_t* data, size_t size) override {
        size_t count = std::min(size, size_ - position_);
        if (count) std::memcpy(data, data_ + position_, count);
        position_ += count;
        return count;
    }

  private:
    const uint8_t* data_;  // not owned
    size_t size_;
    size_t position_ = 0;
};

class FileSource : public ByteSource {
  public:
    // `file` is open at position 0 and holds `size` bytes.
    FileSource(BinaryFile& file, int64_t size) : file_(file), left_(size) {}
    size_t Read(uint8_t* data, size_t size) override {
        // Never asks for more than the file holds, so a short file is a short
        // count, not a failed read past the end.
        size_t count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), left_));
        if (count == 0 || !file_.readExactly(data, count)) return 0;
        left_ -= static_cast<int64_t>(count);
        return count;
    }

  private:
    BinaryFile& file_;  // not owned
    int64_t left_;
};

// Inflates from `source` until `body` holds `capacity` bytes or the stream
// ends or breaks; returns the count. A broken stream still yields the bytes
// that came out before the break, and the caller judges those.
size_t InflateBody(ByteSource& source, uint8_t* body, size_t capacity) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    uint8_t input[kInflateChunk];
    stream.next_out = body;
    stream.avail_out = static_cast<uInt>(capacity);
    while (stream.avail_out > 0) {
        if (stream.avail_in == 0) {
            size_t count = source.Read(input, sizeof input);
            if (count == 0) break;
            stream.next_in = input;
            stream.avail_in = static_cast<uInt>(count);
        }
        if (inflate(&stream, Z_SYNC_FLUSH) != Z_OK) break;
    }
    size_t produced = capacity - stream.avail_out;
    inflateEnd(&stream);
    return produced;
}

// MSB-first bit reader over the rectangle bytes, which the caller has
// checked to be present.
class BitReader {
  public:
    explicit BitReader(const uint8_t* data) : data_(data) {}
    uint32_t Unsigned(unsigned bits) {
        uint32_t value = 0;
        for (unsigned i = 0; i < bits; ++i, ++position_) {
            unsigned bit = (data_[position_ / 8] >> (7 - position_ % 8)) & 1;
            value = (value << 1) | bit;
        }
        return value;
    }
    int32_t Signed(unsigned bits) {
        if (bits == 0) return 0;
        uint32_t value = Unsigned(bits);
        if (bits < 32 && (value >> (bits - 1)) & 1) value |= ~uint32_t{0} << bits;
        return static_cast<int32_t>(value);
    }

  private:
    const uint8_t* data_;  // not owned
    size_t position_ = 0;
};

bool Fail(SwfHeader* header, SwfHeaderError error) {
    header->error = error;
    return false;
}

// Rectangle, frame rate and frame count from the `size` body bytes.
bool ReadBody(const uint8_t* body, size_t size, SwfHeader* header) {
    if (size < 1) return Fail(header, SwfHeaderError::BadSignature);
    unsigned bits = body[0] >> 3;
    size_t rectangleSize = (4 * bits + 12) / 8;
    if (size < rectangleSize + 4) return Fail(header, SwfHeaderError::BadSignature);
    BitReader reader(body);
    reader.Unsigned(5);
    header->xMin = reader.Signed(bits);
    header->xMax = reader.Signed(bits);
    header->yMin = reader.Signed(bits);
    header->yMax = reader.Signed(bits);
    const uint8_t* rest = body + rectangleSize;
    header->frameRate = static_cast<float>(rest[1]) + static_cast<float>(rest[0]) / 256.0f;
    header->frameCount = static_cast<uint16_t>(rest[2] | rest[3] << 8);
    return true;
}

bool ReadFromSource(ByteSource& source, SwfHeader* header) {
    *header = SwfHeader{};
    uint8_t fixed[kFixedSize];
    size_t count = source.Read(fixed, kFixedSize);
    bool uncompressed = count >= 3 && std::memcmp(fixed, "FWS", 3) == 0;
    bool compressed = count >= 3 && std::memcmp(fixed, "CWS", 3) == 0;
    if ((!uncompressed && !compressed) || count < kFixedSize)
        return Fail(header, SwfHeaderError::BadSignature);
    header->compressed = compressed;
    header->version = fixed[3];
    header->fileLength = static_cast<uint32_t>(fixed[4]) | static_cast<uint32_t>(fixed[5]) << 8 |
                         static_cast<uint32_t>(fixed[6]) << 16 |
                         static_cast<uint32_t>(fixed[7]) << 24;
    uint8_t body[kMaxBodySize];
    size_t bodySize =
        compressed ? InflateBody(source, body, sizeof body) : source.Read(body, sizeof body);
    return ReadBody(body, bodySize, header);
}

}  // namespace

const char* ToString(SwfHeaderError error) {
    switch (error) {
        case SwfHeaderError::None:
            return "no error";
        case SwfHeaderError::CannotOpen:
            return "the movie cannot be opened";
        case SwfHeaderError::BadSignature:
            return "the file is not a readable Flash movie";
        case SwfHeaderError::NoRectangleBuffer:
            return "out of memory reading the movie's stage size";
    }
    return "unknown movie header error";
}

std::string FrameRateText(const SwfHeader& header) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps", static_cast<double>(header.frameRate));
    return text;
}

bool ReadSwfHeaderFromMemory(const void* data, size_t size, SwfHeader* header) {
    MemorySource source(data, size);
    return ReadFromSource(source, header);
}

bool ReadSwfHeader(const std::string& path, SwfHeader* header) {
    *header = SwfHeader{};
    if (path.empty() || !PathExists(path) || IsDirectory(path)) return false;
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || !file.seek(0)) return Fail(header, SwfHeaderError::CannotOpen);
    FileSource source(file, size);
    return ReadFromSource(source, header);
}

}  // namespace kestrel
