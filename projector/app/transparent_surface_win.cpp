#include "projector/app/transparent_surface_win.h"

#include <algorithm>

#include "projector/app/layered_pixels.h"
#include "projector/app/plugin_instance_win.h"

namespace kestrel::projector {
namespace {

constexpr DWORD kOpaqueWhite = 0xFFFFFFFF;
constexpr DWORD kOpaqueBlack = 0xFF000000;

void FillPixels(uint8_t* pixels, int width, const RECT& area, DWORD value) {
    for (LONG y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<DWORD*>(pixels + static_cast<size_t>(y) *
                                                          static_cast<size_t>(width) * 4);
        std::fill(row + area.left, row + area.right, value);
    }
}

void ClipTo(HDC dc, const RECT& area) {
    Region clip(CreateRectRgnIndirect(&area));
    SelectClipRgn(dc, clip.get());
}

}  // namespace

bool TransparentSurface::Layer::create(int width, int height) {
    if (dc.get()) {
        if (originalBitmap) SelectObject(dc.get(), originalBitmap);
        bitmap.reset();
        pixels = nullptr;
    } else {
        dc.reset(CreateCompatibleDC(nullptr));
        if (!dc) return false;
    }

    BITMAPV4HEADER header{};
    header.bV4Size = sizeof header;  // 108
    header.bV4Width = width;
    header.bV4Height = -height;  // top-down: row 0 first in memory
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    header.bV4V4Compression = BI_BITFIELDS;
    header.bV4RedMask = 0x00FF0000;
    header.bV4GreenMask = 0x0000FF00;
    header.bV4BlueMask = 0x000000FF;
    header.bV4AlphaMask = 0xFF000000;
    void* bits = nullptr;
    bitmap.reset(CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                  &bits, nullptr, 0));
    if (!bitmap || !bits) {
        bitmap.reset();
        return false;
    }
    pixels = static_cast<uint8_t*>(bits);
    HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    if (!originalBitmap) originalBitmap = previous;
    return true;
}

void TransparentSurface::Layer::release() {
    if (dc.get() && originalBitmap) SelectObject(dc.get(), originalBitmap);
    originalBitmap = nullptr;
    bitmap.reset();
    pixels = nullptr;
    dc.reset();
}

TransparentSurface::TransparentSurface(HWND window, int width, int height,
                                       UpdateLayeredWindowFunction updateLayeredWindow)
    : HostSurface(window, width, height), updateLayeredWindow_(updateLayeredWindow) {}

TransparentSurface::~TransparentSurface() {
    onWhite_.release();
    onBlack_.release();
}

bool TransparentSurface::create() {
    // A DIB section cannot be empty; a window shrunk to nothing keeps one pixel.
    const int width = std::max(this->width(), 1);
    const int height = std::max(this->height(), 1);
    const bool created = onWhite_.create(width, height) && onBlack_.create(width, height);
    bitmapWidth_ = created ? width : 0;
    bitmapHeight_ = created ? height : 0;
    npWindow_.window = onWhite_.dc.get();
    return created;
}

void TransparentSurface::paint(PluginInstance& instance, const RECT& requested) {
    if (!onWhite_.pixels || !onBlack_.pixels) return;
    // The window structure may be larger than the bitmaps only for a moment
    // (before create() follows a resize); never touch pixels beyond them.
    RECT area{std::max<LONG>(requested.left, 0), std::max<LONG>(requested.top, 0),
              std::min<LONG>(requested.right, bitmapWidth_),
              std::min<LONG>(requested.bottom, bitmapHeight_)};
    if (area.right <= area.left || area.bottom <= area.top) return;

    ClipTo(onWhite_.dc.get(), area);
    ClipTo(onBlack_.dc.get(), area);
    GdiFlush();  // GDI may still be writing to the bits
    FillPixels(onWhite_.pixels, bitmapWidth_, area, kOpaqueWhite);
    FillPixels(onBlack_.pixels, bitmapWidth_, area, kOpaqueBlack);

    // The window structure is handed over again before each pass: a plug-in
    // may keep its own copy of it rather than our pointer.
    npWindow_.window = onBlack_.dc.get();
    instance.setWindow();
    instance.deliverEvent(WM_PAINT, 0, 0);
    npWindow_.window = onWhite_.dc.get();
    instance.setWindow();
    instance.deliverEvent(WM_PAINT, 0, 0);
    GdiFlush();

    CombineLayeredRows(onWhite_.pixels, onBlack_.pixels, static_cast<size_t>(bitmapWidth_) * 4,
                       area.left, area.top, area.right, area.bottom);
    showLayered();
}

void TransparentSurface::showLayered() {
    if (!updateLayeredWindow_) return;
    POINT source{0, 0};
    SIZE size{bitmapWidth_, bitmapHeight_};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    updateLayeredWindow_(window_, nullptr, nullptr, &size, onWhite_.dc.get(), &source, 0, &blend,
                         ULW_ALPHA);
}

}  // namespace kestrel::projector
