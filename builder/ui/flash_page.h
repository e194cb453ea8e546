// The settings window's "Flash" page: background colour, quality, the Flash
// menu and scaling of the current window's movie.
#pragma once

#include "builder/ui/colour_button.h"
#include "builder/ui/settings_page.h"

namespace kestrel {

class FlashPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    CheckBox useColour_;
    ColourButton colour_;
    ComboBox quality_;
    CheckBox showMenu_;
    ComboBox scale_;
};

}  // namespace kestrel
