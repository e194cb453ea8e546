// A text format as TextFormat objects carry it: every field may be unset (null to scripts),
// and each kind of field has the player's own conversion of script numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::runtime {

enum class TextAlign : uint8_t { Left, Right, Center, Justify };

struct TextFormat {
    std::optional<std::string> font, url, target;
    std::optional<int32_t> size, leftMargin, rightMargin, indent, leading, blockIndent;
    std::optional<uint32_t> color;  // 0xRRGGBB
    std::optional<bool> bold, italic, underline, bullet, kerning;
    std::optional<TextAlign> align;
    std::optional<double> letterSpacing;
    std::optional<std::vector<int32_t>> tabStops;
    bool inlineDisplay = false, hiddenDisplay = false;  // display: "block" unless one is set

    bool operator==(const TextFormat& other) const;
    bool operator!=(const TextFormat& other) const { return !(*this == other); }
    // Fields this format sets replace those of `base`.
    void MergeInto(TextFormat& base) const;
    // Clears each field on which this format and `other` disagree (a span of mixed formats).
    void KeepCommon(const TextFormat& other);
};

// Font names are cut to this many characters.
constexpr size_t kMaxFontNameLength = 64;
std::string LimitFontName(const std::string& name);

// Script numbers to the integers of a format. The player converts with the processor:
// out-of-range values and NaN become INT32_MIN. Assignments from SWF 8 on round halves to
// even; the constructor and older movies cut the fraction off.
int32_t RoundToInt32(double value);
int32_t TruncateToInt32(double value);

const char* TextAlignName(TextAlign align);
std::optional<TextAlign> TextAlignFrom(const std::string& name);

}  // namespace kestrel::runtime
