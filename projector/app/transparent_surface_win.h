// The surface of a transparent (layered) projector window: the movie is drawn
// twice, over white and over black, into two 32-bit DIB sections; the
// difference gives each pixel's alpha, and the result is shown with
// UpdateLayeredWindow.
#pragma once

#include <windows.h>

#include "common/win_handles.h"
#include "projector/app/host_surface_win.h"

namespace kestrel::projector {

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);

class TransparentSurface : public HostSurface {
  public:
    // `updateLayeredWindow` may be null (a system without layered windows):
    // the movie is then drawn but never shown.
    TransparentSurface(HWND window, int width, int height,
                       UpdateLayeredWindowFunction updateLayeredWindow);
    ~TransparentSurface() override;

    bool create() override;
    void paint(PluginInstance& instance, const RECT& area) override;
    // A layered window is not painted through WM_PAINT.
    void copyToWindow(HDC, const RECT&) override {}

  private:
    // One DIB section selected into its own memory device context.
    struct Layer {
        MemoryDC dc;
        GdiObject<HBITMAP> bitmap;
        HGDIOBJ originalBitmap = nullptr;  // the DC's own, put back before deletion
        uint8_t* pixels = nullptr;         // owned by the bitmap

        bool create(int width, int height);
        void release();
    };

    void showLayered();

    UpdateLayeredWindowFunction updateLayeredWindow_;
    Layer onWhite_;  // drawn over white; also holds the finished pixels
    Layer onBlack_;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
};

}  // namespace kestrel::projector
