// Stand-in for the settings pages until they exist: no pages, no settings
// window; the main window works without them.
#include "builder/ui/main_pages.h"
#include "builder/ui/page_host.h"

namespace kestrel {
namespace {

class NoPages : public MainPages {
  public:
    explicit NoPages(PageHost& host) : host_(host) {}
    void RefreshAll() override {}
    void ApplyPendingEdits() override {}
    void SelectMainTab(int index) override {}
    void ShowSelectedMainTab() override {}
    void Layout(int deltaWidth, int deltaHeight) override {}
    HWND SettingsWindow() const override { return nullptr; }
    void SelectSettingsTab(int index) override { settingsTab_ = index; }
    int SettingsTab() const override { return settingsTab_; }
    void ShowSettingsWindow(bool shown) override {}
    WindowData* CurrentWindow() const override { return host_.CurrentProject().CurrentWindow(); }

  private:
    PageHost& host_;
    int settingsTab_ = 0;
};

}  // namespace

std::unique_ptr<MainPages> CreateMainPages(PageHost& host, HWND mainWindow, HWND tabControl) {
    return std::make_unique<NoPages>(host);
}

}  // namespace kestrel
