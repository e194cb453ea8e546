// The main window's "Windows" page: the projector's windows in a list, the
// selected one's name, and adding and removing windows. Selecting a row makes
// its window the one the settings window edits.
#pragma once

#include "builder/ui/settings_page.h"

namespace kestrel {

class WindowsPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;
    // The typed name goes to the current window.
    void ApplyPendingEdits() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    bool OnEditFocusLost(HWND focused, HWND edit) override;
    bool OnSize(int width, int height) override;

  private:
    void AddWindow();
    void RemoveWindow();
    void RemoveAllWindows();
    void SelectRow(int row);
    // The page grew this much beyond its template: buttons move right, the
    // name box widens, the list grows both ways, each from its first place.
    void LayOut(int deltaWidth, int deltaHeight);

    EditBox name_;
    ListView list_;
    PushButton add_;
    PushButton remove_;
    PushButton removeAll_;
    SIZE initialSize_{};
    RECT initialName_{};
    RECT initialList_{};
    RECT initialAdd_{};
    RECT initialRemove_{};
    RECT initialRemoveAll_{};
};

}  // namespace kestrel
