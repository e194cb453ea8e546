// The rendering quality a movie asks for (_quality) or the host sets ("quality").
#pragma once

#include <optional>
#include <string>

namespace kestrel::player {

enum class RenderQuality { Low, Medium, High, Best };

// "low", "medium", "high", "best" in any case; the host's "autolow" and "autohigh"
// start at low and high. Anything else: nullopt.
std::optional<RenderQuality> renderQualityNamed(const std::string& text);
// "LOW", "MEDIUM", "HIGH", "BEST", as _quality reads back.
const char* renderQualityName(RenderQuality quality);

}  // namespace kestrel::player
