// Text fields in the system's fonts, drawn by GDI into the renderer's frame: the
// field's border and background, then its text (HTML tags dropped, the common
// entities decoded, passwords masked), anti-aliased, unrotated, in the field's
// transformed box.
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
