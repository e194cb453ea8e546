// Strokes as areas: a line style's edges chained into paths and outlined with
// their width, caps and joins, ready to be filled by the non-zero rule.
#pragma once

#include <agg_rasterizer_scanline_aa.h>

#include <vector>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

using SingleRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

// A line's width in pixels when its shape is placed by `itemToStage` on a stage
// drawn through `stageToPixels`, widened only by the scalings its mode allows.
// Hairlines and lines thinner than a pixel are one pixel wide.
double StrokeWidthPixels(const player::LineStyleInfo& style, const player::Matrix& itemToStage,
                         const player::Matrix& stageToPixels);

// Adds the outline of every path of line style `line` (1-based) to `ras`. Edges that
// follow each other end to start make one path, joined at its corners; a path that
// ends where it started is closed (unless its style says not to). `points` is
// scratch storage.
void AddStrokeOutline(const player::ShapeDefinition& shape, int line,
                      const player::Matrix& shapeToPixels, double widthPixels,
                      std::vector<player::Point>& points, SingleRasterizer& ras);

}  // namespace kestrel::render
