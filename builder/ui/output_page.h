// The main window's "Output" page: the output folder, the default file names
// and the Windows projector's name and icon. The Mac and Linux controls stay
// hidden but are filled from the project, so their settings pass through.
#pragma once

#include "builder/ui/settings_page.h"

namespace kestrel {

class OutputPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;
    void ApplyPendingEdits() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnEditFocusLost(HWND focused, HWND edit) override;

  private:
    void ChooseFolder();
    void ChooseIcon();

    StaticText folder_;
    PushButton folderBrowse_;
    CheckBox defaultNames_;
    CheckBox windows_;
    EditBox windowsName_;
    CheckBox windowsIcon_;
    StaticText windowsIconName_;
    PushButton windowsIconBrowse_;
    // Hidden.
    CheckBox macPpc_, macIntel_, macUniversal_, macIcon_, linux_, linuxIcon_;
    EditBox macPpcName_, macIntelName_, macUniversalName_, linuxName_;
    StaticText macIconName_, linuxIconName_;
};

}  // namespace kestrel
