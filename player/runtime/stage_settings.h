// What the host tells the movie about where it plays (its display area, URL and screen) and
// the display choices scripts can change (Stage.scaleMode, Stage.align, _quality).
#pragma once

#include <cstdint>
#include <string>

#include "player/core/display_options.h"
#include "player/core/render_quality.h"
#include "player/core/stage_mapping.h"

namespace kestrel::runtime {

struct StageSettings {
    player::ScaleMode scaleMode = player::ScaleMode::ShowAll;
    player::StageAlign align;
    bool showMenu = true;
    player::RenderQuality quality = player::RenderQuality::High;
    // _focusrect: whether the focused button or clip gets the yellow rectangle.
    bool focusRect = true;
    // _soundbuftime: seconds of streamed sound buffered before it plays.
    int32_t soundBufferTime = 5;
    // The host's display area in pixels; 0 until the host gives one, and a headless
    // player never does: then the movie's own size stands in.
    int areaWidth = 0;
    int areaHeight = 0;
    // The movie's URL as the host gave it (_url).
    std::string movieUrl;
    // The screen's size in pixels (System.capabilities.screenResolutionX/Y).
    int screenWidth = 1024;
    int screenHeight = 768;

    // The host's parameters: scale mode, alignment, quality and menu.
    void applyDisplayOptions(const player::DisplayOptions& options) {
        scaleMode = options.scale;
        align = options.align;
        quality = options.quality;
        showMenu = options.showMenu;
    }
};

}  // namespace kestrel::runtime
