// SWF container: signature, optional zlib body, header fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/swf_types.h"

namespace kestrel::player {

enum class SwfError {
    None = 0,
    Empty,            // no bytes at all
    NotSwf,           // signature is not FWS/CWS/ZWS
    LzmaUnsupported,  // ZWS: LZMA bodies are not supported
    Truncated,        // shorter than the header needs
    BadCompression,   // zlib stream is corrupt
    TooLarge,         // declared or inflated size beyond our limit
    BadHeader,        // header fields cannot be read
};

const char* toString(SwfError error);

struct SwfHeader {
    char signature[4] = {0, 0, 0, 0};
    uint8_t version = 0;
    uint32_t fileLength = 0;    // as declared in the file
    Rect frameRect;             // twips
    uint16_t frameRateRaw = 0;  // 8.8 fixed
    uint16_t frameCount = 0;

    double frameRate() const { return frameRateRaw / 256.0; }
    // Pixels, truncated toward zero.
    int stageWidth() const { return static_cast<int>((frameRect.xMax - frameRect.xMin) / 20); }
    int stageHeight() const { return static_cast<int>((frameRect.yMax - frameRect.yMin) / 20); }
};

// The whole movie with its body inflated: `bytes` is the uncompressed file (8-byte
// prefix included), tags start at `tagsOffset`.
struct SwfFile {
    SwfHeader header;
    std::vector<uint8_t> bytes;
    size_t tagsOffset = 0;
};

// Largest movie we inflate; far beyond any real SWF 8 movie, small enough to refuse
// a hostile FileLength.
constexpr size_t kMaxSwfSize = 64u * 1024 * 1024;

SwfError readSwfFile(const uint8_t* data, size_t size, SwfFile& out);

}  // namespace kestrel::player
