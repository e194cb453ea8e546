#include "player/runtime/text_format.h"

#include <cmath>
#include <limits>

#include "player/avm1/utf8.h"

namespace kestrel::runtime {
namespace {

bool fitsInt32(double v) {
    return !std::isnan(v) && v > -2147483649.0 && v < 2147483648.0;
}

template <typename T>
void mergeField(const std::optional<T>& from, std::optional<T>& into) {
    if (from) into = from;
}

template <typename T>
void keepIfSame(std::optional<T>& mine, const std::optional<T>& other) {
    if (mine != other) mine.reset();
}

}  // namespace

int32_t RoundToInt32(double value) {
    double r = std::nearbyint(value);  // the default rounding mode: halves to even
    return fitsInt32(r) ? static_cast<int32_t>(r) : std::numeric_limits<int32_t>::min();
}

int32_t TruncateToInt32(double value) {
    return fitsInt32(value) ? static_cast<int32_t>(value) : std::numeric_limits<int32_t>::min();
}

std::string LimitFontName(const std::string& name) {
    std::u32string chars = avm1::decodeUtf8(name);
    if (chars.size() <= kMaxFontNameLength) return name;
    chars.resize(kMaxFontNameLength);
    return avm1::encodeUtf8(chars);
}

const char* TextAlignName(TextAlign align) {
    switch (align) {
        case TextAlign::Right:
            return "right";
        case TextAlign::Center:
            return "center";
        case TextAlign::Justify:
            return "justify";
        case TextAlign::Left:
            break;
    }
    return "left";
}

std::optional<TextAlign> TextAlignFrom(const std::string& name) {
    if (name == "left") return TextAlign::Left;
    if (name == "right") return TextAlign::Right;
    if (name == "center") return TextAlign::Center;
    if (name == "justify") return TextAlign::Justify;
    return std::nullopt;
}

bool TextFormat::operator==(const TextFormat& o) const {
    return font == o.font && url == o.url && target == o.target && size == o.size &&
           leftMargin == o.leftMargin && rightMargin == o.rightMargin && indent == o.indent &&
           leading == o.leading && blockIndent == o.blockIndent && color == o.color &&
           bold == o.bold && italic == o.italic && underline == o.underline && bullet == o.bullet &&
           kerning == o.kerning && align == o.align && letterSpacing == o.letterSpacing &&
           tabStops == o.tabStops && inlineDisplay == o.inlineDisplay &&
           hiddenDisplay == o.hiddenDisplay;
}

void TextFormat::MergeInto(TextFormat& base) const {
    mergeField(font, base.font);
    mergeField(url, base.url);
    mergeField(target, base.target);
    mergeField(size, base.size);
    mergeField(leftMargin, base.leftMargin);
    mergeField(rightMargin, base.rightMargin);
    mergeField(indent, base.indent);
    mergeField(leading, base.leading);
    mergeField(blockIndent, base.blockIndent);
    mergeField(color, base.color);
    mergeField(bold, base.bold);
    mergeField(italic, base.italic);
    mergeField(underline, base.underline);
    mergeField(bullet, base.bullet);
    mergeField(kerning, base.kerning);
    mergeField(align, base.align);
    mergeField(letterSpacing, base.letterSpacing);
    mergeField(tabStops, base.tabStops);
}

void TextFormat::KeepCommon(const TextFormat& other) {
    keepIfSame(font, other.font);
    keepIfSame(url, other.url);
    keepIfSame(target, other.target);
    keepIfSame(size, other.size);
    keepIfSame(leftMargin, other.leftMargin);
    keepIfSame(rightMargin, other.rightMargin);
    keepIfSame(indent, other.indent);
    keepIfSame(leading, other.leading);
    keepIfSame(blockIndent, other.blockIndent);
    keepIfSame(color, other.color);
    keepIfSame(bold, other.bold);
    keepIfSame(italic, other.italic);
    keepIfSame(underline, other.underline);
    keepIfSame(bullet, other.bullet);
    keepIfSame(kerning, other.kerning);
    keepIfSame(align, other.align);
    keepIfSame(letterSpacing, other.letterSpacing);
    keepIfSame(tabStops, other.tabStops);
}

}  // namespace kestrel::runtime
