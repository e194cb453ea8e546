#include "player/core/display_options.h"

#include "common/ascii_case.h"

namespace kestrel::player {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<Rgba> parseColor(const std::string& text) {
    std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.size() != 6) return std::nullopt;
    uint8_t channel[3];
    for (int i = 0; i < 3; ++i) {
        int hi = hexDigit(digits[i * 2]), lo = hexDigit(digits[i * 2 + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        channel[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return Rgba{channel[0], channel[1], channel[2], 255};
}

}  // namespace

DisplayOptions parseDisplayOptions(
    const std::vector<std::pair<std::string, std::string>>& parameters) {
    DisplayOptions options;
    for (const auto& [rawName, value] : parameters) {
        std::string name = AsciiLowered(rawName);
        if (name == "wmode") {
            options.transparent = AsciiLowered(value) == "transparent";
        } else if (name == "bgcolor") {
            if (auto color = parseColor(value)) options.background = color;
        } else if (name == "scale") {
            options.scale = parseScaleMode(value);
        } else if (name == "salign") {
            options.align = parseStageAlign(value);
        } else if (name == "quality") {
            if (auto quality = renderQualityNamed(value)) options.quality = *quality;
        } else if (name == "menu") {
            options.showMenu = AsciiLowered(value) != "false";
        }
    }
    return options;
}

}  // namespace kestrel::player
