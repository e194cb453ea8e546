// Just enough of a SWF file to show it before the player proper exists: the
// header (signature, version, stage size) and the background colour.
// Portable; every length is checked against the bytes at hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel::shell {

struct SwfSummary {
    uint8_t version = 0;
    uint32_t fileLength = 0;  // uncompressed length from the header
    int32_t stageWidthTwips = 0;
    int32_t stageHeightTwips = 0;
    bool hasBackground = false;
    uint8_t red = 0, green = 0, blue = 0;
};

enum class SwfHeaderError { None, TooShort, BadSignature, InflateFailed, Truncated };

// Reads the header of a whole or partial SWF file ("FWS", or "CWS" whose body
// is zlib-compressed) and the first SetBackgroundColor tag before the first
// frame ends. Returns no value when the bytes are not a SWF file or stop
// before the stage rectangle.
std::optional<SwfSummary> ReadSwfSummary(const uint8_t* data, size_t size,
                                         SwfHeaderError* error = nullptr);

// The uncompressed form of a SWF file's bytes: "FWS" files as they are, "CWS"
// files with as much of their body as inflates (at most `limit` bytes).
// Returns false when the bytes are not a SWF file or inflating fails before
// any output.
bool UncompressedSwf(const uint8_t* data, size_t size, size_t limit, std::vector<uint8_t>* out);

}  // namespace kestrel::shell
