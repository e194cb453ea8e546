// Builds a whole SWF file: header, root timeline, optional zlib container.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"
#include "tools/swfwriter/timeline.h"

namespace swf {

enum class Compression { kNone, kZlib };  // "FWS" or "CWS"

struct MovieHeader {
    uint8_t version = 8;
    Rect stage{0, 11000, 0, 8000};  // twips; 550 x 400 pixels
    double frameRate = 24;          // stored as 8.8 fixed point
    Compression compression = Compression::kNone;

    // Deliberate damage for tests of readers: a wrong length or frame count in the header,
    // or a file cut short after this many bytes (of the final, possibly compressed, file).
    std::optional<uint32_t> fileLengthOverride;
    std::optional<uint16_t> frameCountOverride;
    std::optional<size_t> truncateTo;
};

class MovieBuilder {
  public:
    MovieHeader& Header() { return header_; }
    const MovieHeader& Header() const { return header_; }
    Timeline& Root() { return root_; }
    const Timeline& Root() const { return root_; }

    void SetStageSize(double widthPixels, double heightPixels);
    void SetBackgroundColor(Rgba color);

    // The finished file, or no value with the reason in *error.
    std::optional<Bytes> Build(std::string* error = nullptr) const;

  private:
    MovieHeader header_;
    Timeline root_;
};

// Frame rate as the 8.8 fixed-point field; no value when it does not fit.
std::optional<uint16_t> EncodeFrameRate(double framesPerSecond);

}  // namespace swf
