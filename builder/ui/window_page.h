// The settings window's "Window" page: title, type and mask, style and
// caption buttons, size and position of the current window.
#pragma once

#include <array>
#include <string>

#include "builder/ui/settings_page.h"

namespace kestrel {

class WindowPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;
    void ApplyPendingEdits() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnEditFocusLost(HWND focused, HWND edit) override;

  private:
    // Applies one edit box's text when it differs from the model.
    void ApplyEdit(HWND edit, const std::string& text);
    void ChooseMask();
    // Shows and enables the controls as the window's type, style, size and
    // position modes say; everything disabled without a window.
    void ApplyRules();

    EditBox title_;
    StaticText maskName_;
    PushButton maskBrowse_;
    // In the order of the tables in window_page.cpp.
    std::array<CheckBox, 7> flags_;
    std::array<EditBox, 4> numbers_;
    std::array<ComboBox, 4> combos_;
};

}  // namespace kestrel
