// Paints the player's render list into a pixel buffer with Anti-Grain Geometry:
// shapes anti-aliased with both fills of every edge at once (the compound
// rasteriser), solid, gradient and bitmap fills, static text from its glyphs,
// strokes with their widths and round caps and joins, masks with anti-aliased
// edges. Not drawn yet: text fields.
#pragma once

#include "player/core/render_list.h"
#include "player/core/swf_types.h"
#include "player/render/pixel_buffer.h"

namespace kestrel::render {

// Fills `target` (already sized) with the background and draws every item;
// `stageToPixels` maps stage twips to buffer pixels.
void RenderFrame(const player::RenderList& list, const player::Matrix& stageToPixels,
                 PixelBuffer& target);

// The stage at its own size, one buffer pixel per stage pixel. False when the
// stage is empty or too large for a buffer.
bool RenderStage(const player::RenderList& list, PixelBuffer& target);

}  // namespace kestrel::render
