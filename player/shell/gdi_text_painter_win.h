// Text fields in the system's fonts, drawn by GDI into the renderer's frame: the
// field's border and background, then its text as the runtime lays it out, run by
// run in each run's font, size, style and colour (passwords masked), anti-aliased,
// unrotated, in the field's transformed box.
#pragma once

#include <windows.h>

#include "player/render/agg_renderer.h"

namespace kestrel::shell {

class GdiTextPainter final : public render::TextPainter {
  public:
    void PaintText(const player::RenderItem& item, const player::Matrix& itemToPixels,
                   uint8_t* pixels, int width, int height, int stride) override;
};

}  // namespace kestrel::shell
