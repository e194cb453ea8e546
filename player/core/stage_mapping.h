// Maps the movie's stage into a window the way the "scale" and "salign"
// parameters ask.
#pragma once

#include <optional>
#include <string>

#include "player/core/swf_types.h"

namespace kestrel::player {

enum class ScaleMode { ShowAll, NoBorder, ExactFit, NoScale };

// -1 left/top, 0 centre, +1 right/bottom.
struct StageAlign {
    int horizontal = 0;
    int vertical = 0;
};

// "showall", "noborder", "exactfit", "noscale" in any case; anything else is showall.
ScaleMode parseScaleMode(const std::string& text);
// The same names for Stage.scaleMode, where an unknown name changes nothing.
std::optional<ScaleMode> scaleModeNamed(const std::string& text);
// "showAll", "noBorder", "exactFit", "noScale".
const char* scaleModeName(ScaleMode mode);
// Letters "l", "r", "t", "b" in any order and case ("tl", "B", "rt"); "" centres. Left
// wins over right and top over bottom; other characters are ignored.
StageAlign parseStageAlign(const std::string& text);
// As Stage.align reads back, letters in the order L, T, R, B ("TL" reads "LT", "BR" "RB",
// "TR" stays); "" when centred.
std::string stageAlignText(StageAlign align);

struct StageMapping {
    // window pixel = stage pixel * scale + offset
    double scaleX = 1, scaleY = 1;
    double offsetX = 0, offsetY = 0;

    Point stageToWindow(double stagePxX, double stagePxY) const {
        return {stagePxX * scaleX + offsetX, stagePxY * scaleY + offsetY};
    }
    Point windowToStage(double windowX, double windowY) const;
    // Stage twips (origin at the frame rect's top-left) to window pixels.
    Matrix twipsToWindow(const Rect& stageRect) const;
};

// Stage and window sizes in pixels. A degenerate stage maps 1:1 at the origin.
StageMapping computeStageMapping(double stageWidth, double stageHeight, double windowWidth,
                                 double windowHeight, ScaleMode mode, StageAlign align);

}  // namespace kestrel::player
