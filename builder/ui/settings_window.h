// The separate "Settings" tool window: a tab control with the Setup,
// Window, Input and Flash pages, all editing the current window. Closing it
// hides it.
#pragma once

#include "builder/ui/flash_page.h"
#include "builder/ui/input_page.h"
#include "builder/ui/setup_page.h"
#include "builder/ui/window_page.h"

namespace kestrel {

class SettingsWindow : public Dialog {
  public:
    explicit SettingsWindow(PageHost& host)
        : setup_(host), window_(host), input_(host), flash_(host) {}

    // Created hidden, owned by the main window.
    bool Create(HWND owner);
    void Load();
    void ApplyPendingEdits();
    // 0 Setup, 1 Window, 2 Input, 3 Flash.
    void SelectTab(int index) { tabs_.Select(index); }
    int Tab() const { return tabs_.Selection(); }

  protected:
    bool OnInit() override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    bool OnClose() override;
    // A window made larger than its template (a stored size) grows its tabs.
    bool OnSize(int width, int height) override;

  private:
    SettingsPage* Pages(size_t index);

    TabControl tabs_;
    SIZE initialClient_{};
    RECT initialTabs_{};
    SetupPage setup_;
    WindowPage window_;
    InputPage input_;
    FlashPage flash_;
};

}  // namespace kestrel
