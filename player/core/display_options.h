// How the host wants the movie shown: the plug-in parameters "wmode", "bgcolor",
// "scale", "salign", "quality" and "menu", read once when the instance starts.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "player/core/render_quality.h"
#include "player/core/stage_mapping.h"
#include "player/core/swf_types.h"

namespace kestrel::player {

struct DisplayOptions {
    // "wmode" "transparent": leave the background alone, draw only the movie.
    bool transparent = false;
    // "bgcolor" ("#rrggbb") overrides the movie's SetBackgroundColor.
    std::optional<Rgba> background;
    ScaleMode scale = ScaleMode::ShowAll;
    StageAlign align;
    RenderQuality quality = RenderQuality::High;
    // "menu" "false": the context menu shows only the settings.
    bool showMenu = true;
};

// Parameter names compare without regard to case, as browsers pass them as written
// in the page; unknown names and malformed values are ignored.
DisplayOptions parseDisplayOptions(
    const std::vector<std::pair<std::string, std::string>>& parameters);

}  // namespace kestrel::player
