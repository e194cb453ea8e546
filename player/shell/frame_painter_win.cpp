#include "player/shell/frame_painter_win.h"

#include <cstring>

namespace kestrel::shell {

using player::Matrix;
using player::RenderList;

player::StageMapping MappingFor(const RenderList& list, int width, int height,
                                const RenderOptions& options) {
    return player::computeStageMapping(list.stageRect.width() / player::kTwipsPerPixel,
                                       list.stageRect.height() / player::kTwipsPerPixel, width,
                                       height, options.scale, options.align);
}

FramePainter::~FramePainter() {
    if (dc_.get() && originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

bool FramePainter::MakeBitmap(int width, int height) {
    if (bits_ && width == bitmapWidth_ && height == bitmapHeight_) return true;
    if (!dc_.get()) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_.get()) return false;
    }
    if (originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
    bitmap_.reset();
    bits_ = nullptr;
    bitmapWidth_ = bitmapHeight_ = 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the renderer's rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        return false;
    }
    HGDIOBJ previous = SelectObject(dc_.get(), bitmap_.get());
    if (!originalBitmap_) originalBitmap_ = previous;
    bits_ = static_cast<uint32_t*>(bits);
    bitmapWidth_ = width;
    bitmapHeight_ = height;
    return true;
}

void FramePainter::Paint(HDC dc, int width, int height, const RenderList& list,
                         const RenderOptions& options) {
    if (!dc || width <= 0 || height <= 0) return;
    if (frame_.width != width || frame_.height != height) {
        if (!frame_.Resize(width, height)) return;
    }
    if (!MakeBitmap(width, height)) return;
    render::FrameOptions frame;
    frame.background = options.background;
    frame.transparent = options.transparent;
    // A layered surface takes premultiplied pixels, and so does AlphaBlend.
    frame.premultiplied = true;
    frame.text = &text_;
    frame.antiAliased = options.quality != player::RenderQuality::Low;
    Matrix toWindow = MappingFor(list, width, height, options).twipsToWindow(list.stageRect);
    renderer_.RenderFrame(list, toWindow, frame_, frame);

    GdiFlush();  // GDI may still be reading the bits from the last paint
    const uint8_t* from = frame_.pixels.data();
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i, from += 4) {
        // RGBA bytes to a DIB's blue, green, red, alpha.
        bits_[i] = uint32_t{from[2]} | uint32_t{from[1]} << 8 | uint32_t{from[0]} << 16 |
                   uint32_t{from[3]} << 24;
    }
    if (options.transparent) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, 0, 0, width, height, dc_.get(), 0, 0, width, height, blend);
    } else {
        BitBlt(dc, 0, 0, width, height, dc_.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace kestrel::shell
