#include "player/core/swf_file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "player/core/byte_reader.h"

namespace kestrel::player {

const char* toString(SwfError error) {
    switch (error) {
        case SwfError::None:
            return "no error";
        case SwfError::Empty:
            return "empty file";
        case SwfError::NotSwf:
            return "not a SWF file";
        case SwfError::LzmaUnsupported:
            return "LZMA-compressed (ZWS) movies are not supported";
        case SwfError::Truncated:
            return "file is truncated";
        case SwfError::BadCompression:
            return "compressed data is corrupt";
        case SwfError::TooLarge:
            return "movie is too large";
        case SwfError::BadHeader:
            return "movie header is malformed";
    }
    return "unknown error";
}

namespace {

constexpr size_t kPrefixSize = 8;  // signature, version, FileLength

// Inflates the body after the 8-byte prefix. The declared FileLength is only a
// hint: files in the wild lie about it, so we take what the stream holds, capped.
SwfError inflateBody(const uint8_t* data, size_t size, size_t declared, std::vector<uint8_t>& out) {
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) return SwfError::BadCompression;
    size_t reserve = declared > kPrefixSize && declared <= kMaxSwfSize ? declared : 64 * 1024;
    out.resize(reserve);
    size_t produced = kPrefixSize;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(size);
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (produced == out.size()) {
            if (out.size() >= kMaxSwfSize) {
                inflateEnd(&zs);
                return SwfError::TooLarge;
            }
            out.resize(std::min(out.size() * 2, kMaxSwfSize));
        }
        zs.next_out = out.data() + produced;
        zs.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&zs, Z_NO_FLUSH);
        produced = out.size() - zs.avail_out;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;  // stream cut short: keep what we have
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            inflateEnd(&zs);
            // A corrupt tail after a readable header still plays what came before.
            if (produced > kPrefixSize + 16) break;
            return SwfError::BadCompression;
        }
    }
    inflateEnd(&zs);
    out.resize(produced);
    return SwfError::None;
}

}  // namespace

SwfError readSwfFile(const uint8_t* data, size_t size, SwfFile& out) {
    if (size == 0 || data == nullptr) return SwfError::Empty;
    if (size < 3) return SwfError::NotSwf;
    char sig0 = static_cast<char>(data[0]);
    if (data[1] != 'W' || data[2] != 'S' || (sig0 != 'F' && sig0 != 'C' && sig0 != 'Z'))
        return SwfError::NotSwf;
    if (sig0 == 'Z') return SwfError::LzmaUnsupported;
    if (size < kPrefixSize) return SwfError::Truncated;

    SwfHeader& h = out.header;
    std::memcpy(h.signature, data, 3);
    h.version = data[3];
    h.fileLength = static_cast<uint32_t>(data[4]) | (static_cast<uint32_t>(data[5]) << 8) |
                   (static_cast<uint32_t>(data[6]) << 16) | (static_cast<uint32_t>(data[7]) << 24);

    if (sig0 == 'C') {
        SwfError e = inflateBody(data + kPrefixSize, size - kPrefixSize, h.fileLength, out.bytes);
        if (e != SwfError::None) return e;
        std::memcpy(out.bytes.data(), data, kPrefixSize);
    } else {
        if (size > kMaxSwfSize) return SwfError::TooLarge;
        out.bytes.assign(data, data + size);
    }

    ByteReader r(out.bytes.data() + kPrefixSize, out.bytes.size() - kPrefixSize);
    h.frameRect = r.rect();
    h.frameRateRaw = r.u16();
    h.frameCount = r.u16();
    if (!r.ok()) return SwfError::Truncated;
    out.tagsOffset = kPrefixSize + r.position();
    return SwfError::None;
}

}  // namespace kestrel::player
