// DefineBits (with the movie's JPEGTables), DefineBitsJPEG2 and DefineBitsJPEG3.
//
// Flash's JPEG streams are not always standard: files before SWF 8 may start with
// an EOI before the SOI ("FF D9 FF D8"), and the tables and the image often sit in
// one stream with an EOI and SOI between them. The stream is therefore walked
// marker by marker up to the scan and every EOI-SOI pair before it dropped, which
// also joins DefineBits' tables to its image.
#include <algorithm>

#include "player/core/bitmap_definitions.h"
#include "player/core/image_decoder.h"
#include "player/core/zlib_inflate.h"

namespace kestrel::player {

namespace {

constexpr uint8_t kMarker = 0xFF, kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;

bool isMarker(const uint8_t* d, size_t n, size_t i, uint8_t code) {
    return i + 2 <= n && d[i] == kMarker && d[i + 1] == code;
}

// Skips the leading EOI-SOI pairs some writers put before the real SOI.
size_t skipBogusHeader(const uint8_t* d, size_t n) {
    size_t i = 0;
    while (isMarker(d, n, i, kEoi) && isMarker(d, n, i + 2, kSoi)) i += 4;
    return i;
}

void appendStream(std::vector<uint8_t>& to, const uint8_t* d, size_t n) {
    size_t from = skipBogusHeader(d, n);
    to.insert(to.end(), d + from, d + n);
}

// One standard stream: SOI, segments, and from the scan on everything as it came.
std::vector<uint8_t> joinedStream(const std::vector<uint8_t>& in) {
    const uint8_t* d = in.data();
    size_t n = in.size(), i = 0;
    std::vector<uint8_t> out;
    if (!isMarker(d, n, 0, kSoi)) return in;  // not ours to mend
    out.reserve(n);
    out.insert(out.end(), d, d + 2);
    i = 2;
    while (i + 2 <= n && d[i] == kMarker) {
        uint8_t code = d[i + 1];
        if (code == kMarker) {  // fill byte
            ++i;
            continue;
        }
        if (code == kEoi && isMarker(d, n, i + 2, kSoi)) {
            i += 4;
            continue;
        }
        if (code == kSoi) {
            i += 2;
            continue;
        }
        if (code == kSos || code == kEoi) break;
        if ((code >= 0xD0 && code <= 0xD7) || code == 0x01) {
            out.insert(out.end(), d + i, d + i + 2);
            i += 2;
            continue;
        }
        if (i + 4 > n) break;
        size_t length = static_cast<size_t>(d[i + 2]) << 8 | d[i + 3];
        if (length < 2 || length > n - i - 2) break;  // the decoder will refuse it
        out.insert(out.end(), d + i, d + i + 2 + length);
        i += 2 + length;
    }
    out.insert(out.end(), d + i, d + n);
    return out;
}

bool decodeJpegStream(const std::vector<uint8_t>& stream, int& width, int& height,
                      std::vector<uint8_t>& rgba) {
    return decodeImage(stream.data(), stream.size(), width, height, rgba);
}

// Premultiplies straight RGBA into `out`.
void premultiplied(int width, int height, std::vector<uint8_t>&& rgba, BitmapDefinition& out) {
    out.width = width;
    out.height = height;
    out.pixels = std::move(rgba);
    for (size_t i = 0; i + 3 < out.pixels.size(); i += 4) {
        unsigned a = out.pixels[i + 3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            out.pixels[i + c] = static_cast<uint8_t>((out.pixels[i + c] * a + 127) / 255);
    }
}

bool decodeInto(const uint8_t* data, size_t size, BitmapDefinition& out) {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    if (sniffImage(data, size) == ImageFormat::Jpeg) {
        std::vector<uint8_t> stream;
        appendStream(stream, data, size);
        if (!decodeJpegStream(joinedStream(stream), width, height, rgba)) return false;
    } else if (!decodeImage(data, size, width, height, rgba)) {
        return false;
    }
    premultiplied(width, height, std::move(rgba), out);
    return true;
}

}  // namespace

bool parseJpegWithTables(ByteReader& r, const std::vector<uint8_t>& tables, BitmapDefinition& out) {
    size_t size = r.remaining();
    const uint8_t* data = r.take(size);
    if (!data || size == 0) return false;
    std::vector<uint8_t> stream;
    appendStream(stream, tables.data(), tables.size());
    appendStream(stream, data, size);
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    if (!decodeJpegStream(joinedStream(stream), width, height, rgba)) return false;
    premultiplied(width, height, std::move(rgba), out);
    return true;
}

bool parseJpegImage(ByteReader& r, BitmapDefinition& out) {
    size_t size = r.remaining();
    const uint8_t* data = r.take(size);
    return data && size > 0 && decodeInto(data, size, out);
}

bool parseJpegWithAlpha(ByteReader& r, BitmapDefinition& out) {
    size_t imageSize = r.u32();
    if (!r.ok() || imageSize > r.remaining()) return false;
    const uint8_t* image = r.take(imageSize);
    if (!image || !decodeInto(image, imageSize, out)) return false;
    // PNG and GIF pictures bring their own transparency; the plane is for JPEGs.
    if (sniffImage(image, imageSize) != ImageFormat::Jpeg) return true;
    size_t packed = r.remaining();
    std::vector<uint8_t> alpha;
    // A plane that is missing or does not inflate leaves the picture opaque.
    if (packed == 0 || !inflateExactly(r.take(packed), packed, out.pixelCount(), alpha))
        return true;
    // The colours are stored already multiplied by the plane; a channel above its
    // alpha would be invalid and is held down to it.
    for (size_t i = 0; i < alpha.size(); ++i) {
        uint8_t* p = &out.pixels[i * 4];
        uint8_t a = alpha[i];
        p[0] = std::min(p[0], a);
        p[1] = std::min(p[1], a);
        p[2] = std::min(p[2], a);
        p[3] = a;
    }
    return true;
}

}  // namespace kestrel::player
