// The settings window's "Setup" page: the current window's movie with its
// facts, and the files and folders installed next to it.
#pragma once

#include "builder/ui/settings_page.h"

namespace kestrel {

class SetupPage : public SettingsPage {
  public:
    using SettingsPage::SettingsPage;

    void Load() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

  private:
    void ChooseMovie();
    void AddFiles();
    void AddFolder();
    void RemoveSelected();
    void UpdateButtons();

    StaticText movie_;
    PushButton movieBrowse_;
    StaticText width_;
    StaticText height_;
    StaticText version_;
    StaticText frameRate_;
    ListView files_;
    PushButton addFile_;
    PushButton addFolder_;
    PushButton remove_;
    PushButton removeAll_;
    // The window whose files the list shows; compared only, never used.
    const WindowData* listed_ = nullptr;
};

}  // namespace kestrel
