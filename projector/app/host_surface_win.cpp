#include "projector/app/host_surface_win.h"

#include <algorithm>

#include "projector/app/plugin_instance_win.h"

namespace kestrel::projector {

HostSurface::HostSurface(HWND window, int width, int height) : window_(window) {
    npWindow_.type = NPWindowTypeDrawable;
    setSize(width, height);
}

void HostSurface::setSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    npWindow_.x = 0;
    npWindow_.y = 0;
    npWindow_.width = static_cast<uint32_t>(width);
    npWindow_.height = static_cast<uint32_t>(height);
    npWindow_.clipRect.top = 0;
    npWindow_.clipRect.left = 0;
    npWindow_.clipRect.bottom = static_cast<uint16_t>(std::min(height, 0xFFFF));
    npWindow_.clipRect.right = static_cast<uint16_t>(std::min(width, 0xFFFF));
}

OpaqueSurface::~OpaqueSurface() {
    if (dc_.get() && originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

bool OpaqueSurface::create() {
    if (dc_.get()) {
        if (originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
        bitmap_.reset();
    } else {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) return false;
    }
    npWindow_.window = dc_.get();

    // A bitmap compatible with a memory DC would be monochrome: use the screen's.
    WindowDC screen;
    bitmap_.reset(
        CreateCompatibleBitmap(screen.get(), std::max(width(), 1), std::max(height(), 1)));
    if (!bitmap_) return false;
    HGDIOBJ previous = SelectObject(dc_.get(), bitmap_.get());
    if (!originalBitmap_) originalBitmap_ = previous;
    return true;
}

void OpaqueSurface::paint(PluginInstance& instance, const RECT& area) {
    HDC dc = dc_.get();
    if (!dc) return;
    Region clip(CreateRectRgnIndirect(&area));
    SelectClipRgn(dc, clip.get());
    instance.deliverEvent(WM_PAINT, 0, 0);
    InvalidateRect(window_, &area, FALSE);
    UpdateWindow(window_);
}

void OpaqueSurface::copyToWindow(HDC target, const RECT& area) {
    if (!dc_.get()) return;
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(),
           area.left, area.top, SRCCOPY);
}

}  // namespace kestrel::projector
