// A push button that shows its colour filling the client area; a click opens
// the colour chooser.
#pragma once

#include <array>
#include <cstdint>

#include "builder/ui/controls.h"
#include "builder/ui/file_dialogs.h"

namespace kestrel {

class ColourButton : public PushButton {
  public:
    uint32_t Colour() const { return colour_; }
    // Red in the low byte; repaints.
    void SetColour(uint32_t colour);
    // Opens the chooser; true when the user chose (the colour is then set).
    bool Choose(FileDialogs& dialogs, std::array<uint32_t, 16>* customColours);

  private:
    uint32_t colour_ = 0;
    GdiObject<HBITMAP> bitmap_;
};

}  // namespace kestrel
