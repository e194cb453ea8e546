// Reads the few facts the builder needs from a movie file: its stage size,
// version and frame rate. Compressed ("CWS") movies are inflated in memory,
// only as far as the header reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// Stable numbers: callers show or log them.
enum class SwfHeaderError : int {
    None = 0,
    CannotOpen = 1,         // the file exists but could not be opened
    BadSignature = 2,       // not "FWS" or "CWS" (after inflating: not "FWS"), or cut short
    NoRectangleBuffer = 3,  // kept for its number; this reader never allocates
};

const char* ToString(SwfHeaderError error);

struct SwfHeader {
    bool compressed = false;  // the file started with "CWS"
    uint8_t version = 0;
    uint32_t fileLength = 0;  // the header's length field (the uncompressed length)
    // The stage rectangle in twips. The format defines the fields as signed.
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    float frameRate = 0;  // frames per second
    uint16_t frameCount = 0;
    SwfHeaderError error = SwfHeaderError::None;

    // Stage size in twips.
    int64_t StageWidthTwips() const { return int64_t{xMax} - xMin; }
    int64_t StageHeightTwips() const { return int64_t{yMax} - yMin; }
    // Stage size in pixels, truncated toward zero.
    int32_t StageWidthPixels() const { return static_cast<int32_t>(StageWidthTwips() / 20); }
    int32_t StageHeightPixels() const { return static_cast<int32_t>(StageHeightTwips() / 20); }
};

// The frame rate as the builder shows it: "%.1f fps" ("12.5 fps").
std::string FrameRateText(const SwfHeader& header);

// Fills `header` from the movie at `path`, opened as given (the builder's
// callers pass absolute forms). A missing file or an empty path fails with
// error None, as there was nothing to open.
bool ReadSwfHeader(const std::string& path, SwfHeader* header);

// The same for a movie held in memory (`size` bytes of the file's start are
// enough).
bool ReadSwfHeaderFromMemory(const void* data, size_t size, SwfHeader* header);

}  // namespace kestrel
