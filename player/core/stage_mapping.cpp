#include "player/core/stage_mapping.h"

#include <algorithm>

#include "common/ascii_case.h"

namespace kestrel::player {

std::optional<ScaleMode> scaleModeNamed(const std::string& text) {
    std::string t = AsciiLowered(text);
    if (t == "showall") return ScaleMode::ShowAll;
    if (t == "noborder") return ScaleMode::NoBorder;
    if (t == "exactfit") return ScaleMode::ExactFit;
    if (t == "noscale") return ScaleMode::NoScale;
    return std::nullopt;
}

ScaleMode parseScaleMode(const std::string& text) {
    return scaleModeNamed(text).value_or(ScaleMode::ShowAll);
}

const char* scaleModeName(ScaleMode mode) {
    switch (mode) {
        case ScaleMode::NoBorder:
            return "noBorder";
        case ScaleMode::ExactFit:
            return "exactFit";
        case ScaleMode::NoScale:
            return "noScale";
        case ScaleMode::ShowAll:
            break;
    }
    return "showAll";
}

StageAlign parseStageAlign(const std::string& text) {
    bool left = false, right = false, top = false, bottom = false;
    for (char c : AsciiLowered(text)) {
        left = left || c == 'l';
        right = right || c == 'r';
        top = top || c == 't';
        bottom = bottom || c == 'b';
    }
    StageAlign align;
    align.horizontal = left ? -1 : right ? 1 : 0;
    align.vertical = top ? -1 : bottom ? 1 : 0;
    return align;
}

std::string stageAlignText(StageAlign align) {
    std::string text;
    if (align.horizontal < 0) text += 'L';
    if (align.vertical < 0) text += 'T';
    if (align.horizontal > 0) text += 'R';
    if (align.vertical > 0) text += 'B';
    return text;
}

Point StageMapping::windowToStage(double wx, double wy) const {
    return {scaleX != 0 ? (wx - offsetX) / scaleX : 0, scaleY != 0 ? (wy - offsetY) / scaleY : 0};
}

Matrix StageMapping::twipsToWindow(const Rect& stageRect) const {
    double sx = scaleX / kTwipsPerPixel, sy = scaleY / kTwipsPerPixel;
    return Matrix{sx, 0, 0, sy, offsetX - stageRect.xMin * sx, offsetY - stageRect.yMin * sy};
}

StageMapping computeStageMapping(double stageW, double stageH, double winW, double winH,
                                 ScaleMode mode, StageAlign align) {
    StageMapping m;
    if (!(stageW > 0) || !(stageH > 0) || !(winW > 0) || !(winH > 0)) return m;
    double fitX = winW / stageW, fitY = winH / stageH;
    switch (mode) {
        case ScaleMode::ShowAll:
            m.scaleX = m.scaleY = std::min(fitX, fitY);
            break;
        case ScaleMode::NoBorder:
            m.scaleX = m.scaleY = std::max(fitX, fitY);
            break;
        case ScaleMode::ExactFit:
            m.scaleX = fitX;
            m.scaleY = fitY;
            break;
        case ScaleMode::NoScale:
            m.scaleX = m.scaleY = 1;
            break;
    }
    auto offset = [](double free, int side) { return side < 0 ? 0 : side > 0 ? free : free / 2; };
    m.offsetX = offset(winW - stageW * m.scaleX, align.horizontal);
    m.offsetY = offset(winH - stageH * m.scaleY, align.vertical);
    return m;
}

}  // namespace kestrel::player
