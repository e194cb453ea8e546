#include "player/runtime/display_paths.h"

namespace kestrel::runtime {

using player::kTwipsPerPixel;

std::string slashTargetOf(const player::DisplayObject& object) {
    std::string dotted = object.targetPath();
    const std::string prefix = "_level0";
    if (dotted.compare(0, prefix.size(), prefix) != 0) return dotted;
    std::string rest = dotted.substr(prefix.size());
    if (rest.empty()) return "/";
    for (char& c : rest)
        if (c == '.') c = '/';
    return rest;
}

player::Point localToStagePixels(const player::DisplayObject& object, player::Point local) {
    player::Point p =
        object.worldMatrix().apply(local.x * kTwipsPerPixel, local.y * kTwipsPerPixel);
    return {p.x / kTwipsPerPixel, p.y / kTwipsPerPixel};
}

bool stageToLocalPixels(const player::DisplayObject& object, player::Point stage,
                        player::Point& local) {
    player::Matrix inverse;
    if (!object.worldMatrix().invert(inverse)) return false;
    player::Point p = inverse.apply(stage.x * kTwipsPerPixel, stage.y * kTwipsPerPixel);
    local = {p.x / kTwipsPerPixel, p.y / kTwipsPerPixel};
    return true;
}

player::Rect boundsInSpace(const player::DisplayObject& object,
                           const player::DisplayObject& space) {
    player::Rect local = object.localBounds();
    if (local.isEmpty()) {
        constexpr double kEmpty = 6710886.35;
        return {kEmpty, kEmpty, kEmpty, kEmpty};
    }
    player::Matrix toSpace;
    player::Rect r = local;
    if (&object != &space) {
        player::Matrix spaceInverse;
        if (space.worldMatrix().invert(spaceInverse))
            toSpace = spaceInverse.multiply(object.worldMatrix());
        else
            toSpace = object.worldMatrix();
        r = toSpace.transformRect(local);
    }
    return {r.xMin / kTwipsPerPixel, r.yMin / kTwipsPerPixel, r.xMax / kTwipsPerPixel,
            r.yMax / kTwipsPerPixel};
}

}  // namespace kestrel::runtime
