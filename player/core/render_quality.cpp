#include "player/core/render_quality.h"

#include "common/ascii_case.h"

namespace kestrel::player {

std::optional<RenderQuality> renderQualityNamed(const std::string& text) {
    const std::string t = AsciiLowered(text);
    if (t == "low" || t == "autolow") return RenderQuality::Low;
    if (t == "medium") return RenderQuality::Medium;
    if (t == "high" || t == "autohigh") return RenderQuality::High;
    if (t == "best") return RenderQuality::Best;
    return std::nullopt;
}

const char* renderQualityName(RenderQuality quality) {
    switch (quality) {
        case RenderQuality::Low:
            return "LOW";
        case RenderQuality::Medium:
            return "MEDIUM";
        case RenderQuality::Best:
            return "BEST";
        case RenderQuality::High:
            break;
    }
    return "HIGH";
}

}  // namespace kestrel::player
