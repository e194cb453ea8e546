// Paints a frame's render list into the host's device context: the anti-aliased
// renderer draws into a buffer the window's size, device-font text is added to it
// through GDI, and the buffer goes onto the DC, copied for an opaque instance and
// blended by its own per-pixel alpha for a transparent one. A host that recovers
// alpha by drawing the frame over white and over black then gets the renderer's.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/win_handles.h"
#include "player/core/display_options.h"
#include "player/core/render_list.h"
#include "player/core/stage_mapping.h"
#include "player/render/agg_renderer.h"
#include "player/render/pixel_buffer.h"
#include "player/shell/gdi_text_painter_win.h"

namespace kestrel::shell {

using RenderOptions = player::DisplayOptions;

// The mapping a window of width x height gives the list's stage.
player::StageMapping MappingFor(const player::RenderList& list, int width, int height,
                                const RenderOptions& options);

// One per plug-in instance: what the renderer keeps from frame to frame lives here.
class FramePainter {
  public:
    FramePainter() = default;
    ~FramePainter();
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // Draws into (0, 0, width, height) of `dc`.
    void Paint(HDC dc, int width, int height, const player::RenderList& list,
               const RenderOptions& options);

  private:
    render::Renderer renderer_;
    render::PixelBuffer frame_;
    GdiTextPainter text_;
    // The frame as the DC takes it: a 32-bit top-down DIB section, blue first.
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;  // not owned: the memory DC's own
    uint32_t* bits_ = nullptr;          // not owned: the DIB section's pixels
    int bitmapWidth_ = 0, bitmapHeight_ = 0;

    bool MakeBitmap(int width, int height);
};

}  // namespace kestrel::shell
