// Bitmap fills: each pixel of a span sampled from the bitmap through the fill's
// matrix, repeating or with its edge pixels reaching on, nearest pixel or
// bilinear, under the item's colour transform. Output is premultiplied RGBA.
#pragma once

#include <agg_color_rgba.h>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

class BitmapFill {
  public:
    // False when there is nothing to draw: no decoded bitmap, or a matrix that
    // squashes the bitmap to nothing. `shapeToPixels` maps the shape's twips.
    bool Prepare(const player::FillStyle& fill, const player::Matrix& shapeToPixels,
                 const player::ColorTransform& transform);

    // `len` pixels of row `y` from column `x`, sampled at the pixels' centres.
    void Generate(agg::rgba8* span, int x, int y, unsigned len) const;

  private:
    agg::rgba8 Texel(long column, long row) const;
    agg::rgba8 Nearest(double u, double v) const;
    agg::rgba8 Bilinear(double u, double v) const;
    agg::rgba8 Transformed(agg::rgba8 c) const;
    long Index(long i, long size) const;
    // Smoothed samples stepped in fixed point, for spans that stay near the bitmap.
    void SmoothedFixed(agg::rgba8* span, double u, double v, unsigned len) const;

    const player::BitmapDefinition* bitmap_ = nullptr;  // not owned: the movie's
    player::Matrix pixelsToBitmap_;
    player::ColorTransform transform_;
    bool identity_ = true;  // the transform leaves colours alone
    bool repeats_ = true, smoothed_ = true;
};

}  // namespace kestrel::render
