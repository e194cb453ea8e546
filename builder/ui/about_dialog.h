// The About box and the splash window: the builder's picture with its
// version, a line on what it does and the copyright.
#pragma once

#include <windows.h>

#include "builder/ui/dialog.h"
#include "common/win_handles.h"

namespace kestrel {

// Modal to `owner`.
void ShowAbout(HWND owner);

// Shown while the builder starts; closed when the object goes.
class Splash : public Dialog {
  public:
    ~Splash() override { Destroy(); }
    bool Open();

  protected:
    bool OnInit() override;

  private:
    GdiObject<HBITMAP> artwork_;
};

}  // namespace kestrel
