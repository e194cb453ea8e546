// A mask window: a borderless popup shaped by the region the builder made of
// the mask image, stretched to the window's size.
#pragma once

#include <cstdint>
#include <vector>

#include "common/win_handles.h"
#include "projector/app/projector_window_win.h"

namespace kestrel::projector {

class MaskWindow : public ProjectorWindow {
  public:
    using ProjectorWindow::ProjectorWindow;

    bool create() override;

  protected:
    void shapeWindow(int width, int height) override;

  private:
    // Reads the region file; without a usable one the window stays unshaped.
    void readRegion();

    std::vector<uint8_t> regionBytes_;  // the checked part of the file
    GdiObject<HRGN> region_;            // as the file gives it, unscaled
    RECT box_{};                        // its bounding box
};

}  // namespace kestrel::projector
