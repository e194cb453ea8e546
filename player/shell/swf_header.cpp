#include "player/shell/swf_header.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace kestrel::shell {
namespace {

constexpr size_t kSwfHeaderSize = 8;  // signature, version, file length
constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

// Reads bits most-significant first, as the SWF rectangle record stores them.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool read(unsigned count, uint32_t* value) {
        uint32_t result = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (bit_ / 8 >= size_) return false;
            const uint8_t byte = data_[bit_ / 8];
            result = (result << 1) | ((byte >> (7 - bit_ % 8)) & 1u);
            ++bit_;
        }
        *value = result;
        return true;
    }
    bool readSigned(unsigned count, int32_t* value) {
        uint32_t raw = 0;
        if (!read(count, &raw)) return false;
        if (count > 0 && count < 32 && (raw & (1u << (count - 1)))) raw |= ~((1u << count) - 1);
        *value = static_cast<int32_t>(raw);
        return true;
    }
    size_t bytesUsed() const { return (bit_ + 7) / 8; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t bit_ = 0;
};

uint32_t ReadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadLe16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

bool UncompressedSwf(const uint8_t* data, size_t size, size_t limit, std::vector<uint8_t>* out) {
    out->clear();
    if (size < kSwfHeaderSize || data[1] != 'W' || data[2] != 'S') return false;
    if (data[0] == 'F') {
        out->assign(data, data + std::min(size, limit));
        return true;
    }
    if (data[0] != 'C') return false;

    out->assign(data, data + kSwfHeaderSize);
    (*out)[0] = 'F';
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(data + kSwfHeaderSize);
    stream.avail_in = static_cast<uInt>(std::min<size_t>(size - kSwfHeaderSize, 0x7FFFFFFF));
    uint8_t chunk[16384];
    int status = Z_OK;
    while (status == Z_OK && out->size() < limit) {
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = sizeof chunk - stream.avail_out;
        out->insert(out->end(), chunk, chunk + std::min(produced, limit - out->size()));
        if (produced == 0 && status == Z_OK) break;  // needs more input than we have
    }
    inflateEnd(&stream);
    // A partial movie inflates only partly: keep what we got.
    return out->size() > kSwfHeaderSize || status == Z_STREAM_END || status == Z_BUF_ERROR;
}

std::optional<SwfSummary> ReadSwfSummary(const uint8_t* data, size_t size, SwfHeaderError* error) {
    SwfHeaderError unused;
    SwfHeaderError& err = error ? *error : unused;
    err = SwfHeaderError::None;
    if (size < kSwfHeaderSize) {
        err = SwfHeaderError::TooShort;
        return std::nullopt;
    }
    if ((data[0] != 'F' && data[0] != 'C') || data[1] != 'W' || data[2] != 'S') {
        err = SwfHeaderError::BadSignature;
        return std::nullopt;
    }
    // The header and the first frame's control tags are small; a few hundred
    // kilobytes covers every movie that sets its background at all.
    constexpr size_t kSummaryLimit = 256 * 1024;
    std::vector<uint8_t> bytes;
    if (!UncompressedSwf(data, size, kSummaryLimit, &bytes)) {
        err = SwfHeaderError::InflateFailed;
        return std::nullopt;
    }

    SwfSummary summary;
    summary.version = bytes[3];
    summary.fileLength = ReadLe32(&bytes[4]);

    BitReader bits(bytes.data() + kSwfHeaderSize, bytes.size() - kSwfHeaderSize);
    uint32_t nbits = 0;
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    if (!bits.read(5, &nbits) || !bits.readSigned(nbits, &xmin) || !bits.readSigned(nbits, &xmax) ||
        !bits.readSigned(nbits, &ymin) || !bits.readSigned(nbits, &ymax)) {
        err = SwfHeaderError::Truncated;
        return std::nullopt;
    }
    summary.stageWidthTwips = xmax - xmin;
    summary.stageHeightTwips = ymax - ymin;

    size_t pos = kSwfHeaderSize + bits.bytesUsed() + 4;  // frame rate, frame count
    while (pos + 2 <= bytes.size()) {
        const uint16_t codeAndLength = ReadLe16(&bytes[pos]);
        pos += 2;
        const uint16_t code = codeAndLength >> 6;
        size_t length = codeAndLength & 0x3F;
        if (length == 0x3F) {
            if (pos + 4 > bytes.size()) break;
            length = ReadLe32(&bytes[pos]);
            pos += 4;
        }
        if (length > bytes.size() - pos) break;
        if (code == kTagSetBackgroundColor && length >= 3) {
            summary.hasBackground = true;
            summary.red = bytes[pos];
            summary.green = bytes[pos + 1];
            summary.blue = bytes[pos + 2];
            break;
        }
        if (code == kTagShowFrame || code == kTagEnd) break;
        pos += length;
    }
    return summary;
}

}  // namespace kestrel::shell
