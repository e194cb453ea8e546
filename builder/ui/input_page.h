// The settings window's "Input" page: what the mouse buttons do and whether
// Escape quits the projector.
#pragma once

#include "builder/ui/settings_page.h"

namespace kestrel {

class InputPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    ComboBox leftMouse_;
    ComboBox rightMouse_;
    CheckBox exitOnEscape_;
};

}  // namespace kestrel
