// The off-screen surface a windowless plug-in instance draws into, and the
// NPAPI window structure that describes it. One per projector window.
#pragma once

#include <windows.h>

#include <memory>

#include "common/npapi/npapi_abi.h"
#include "common/win_handles.h"

namespace kestrel::projector {

class PluginInstance;

class HostSurface {
  public:
    HostSurface(HWND window, int width, int height);
    virtual ~HostSurface() = default;
    HostSurface(const HostSurface&) = delete;
    HostSurface& operator=(const HostSurface&) = delete;

    HWND window() const { return window_; }
    NPWindow* windowStructure() { return &npWindow_; }
    int width() const { return static_cast<int>(npWindow_.width); }
    int height() const { return static_cast<int>(npWindow_.height); }

    // Stores the size in the window structure and its clip rectangle.
    void setSize(int width, int height);

    // (Re)creates the drawing objects at the current size and points the
    // window structure at them.
    virtual bool create() = 0;

    // Lets the plug-in draw `area` and shows the result in the window.
    virtual void paint(PluginInstance& instance, const RECT& area) = 0;

    // The window's paint handler: copies `area` of the surface to `target`.
    virtual void copyToWindow(HDC target, const RECT& area) = 0;

  protected:
    HWND window_;  // not owned: the projector window owns the system window
    NPWindow npWindow_{};
};

// An opaque window: one memory device context with a screen-compatible bitmap.
// (A transparent window gets its own surface kind with two DIB sections.)
class OpaqueSurface : public HostSurface {
  public:
    using HostSurface::HostSurface;
    ~OpaqueSurface() override;

    bool create() override;
    void paint(PluginInstance& instance, const RECT& area) override;
    void copyToWindow(HDC target, const RECT& area) override;

  private:
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;  // the DC's own, put back before it is deleted
};

}  // namespace kestrel::projector
