#include "builder/ui/main_pages.h"

#include "builder/ui/output_page.h"
#include "builder/ui/page_ids.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/settings_window.h"
#include "builder/ui/windows_page.h"

namespace kestrel {
namespace {

class BuilderPages : public MainPages {
  public:
    explicit BuilderPages(PageHost& host)
        : host_(host), windows_(host), output_(host), settings_(host) {}

    bool Create(HWND mainWindow, HWND tabControl) {
        HWND parent = GetParent(tabControl);
        if (!tabs_.Bind(parent, GetDlgCtrlID(tabControl))) return false;
        if (!windows_.Create(IDD_PAGE_WINDOWS, parent, ID_PAGE_WINDOWS)) return false;
        if (!output_.Create(IDD_PAGE_OUTPUT, parent, ID_PAGE_OUTPUT)) return false;
        tabs_.AddPageFromResource(windows_.Handle(), IDS_WINDOWS_TAB);
        tabs_.AddPageFromResource(output_.Handle(), IDS_OUTPUT_TAB);
        tabs_.Select(0);
        return settings_.Create(mainWindow);
    }

    void RefreshAll() override {
        windows_.Load();
        output_.Load();
        settings_.Load();
    }

    void ApplyPendingEdits() override {
        windows_.ApplyPendingEdits();
        output_.ApplyPendingEdits();
        settings_.ApplyPendingEdits();
    }

    void SelectMainTab(int index) override { tabs_.Select(index); }
    void ShowSelectedMainTab() override { tabs_.ShowSelectedPage(); }
    // The pages take the tab control's new display area; the Windows page
    // lays out its controls when it is resized.
    void Layout(int, int) override { tabs_.PlacePages(); }

    HWND SettingsWindow() const override { return settings_.Handle(); }
    void SelectSettingsTab(int index) override { settings_.SelectTab(index); }
    int SettingsTab() const override { return settings_.Tab(); }
    void ShowSettingsWindow(bool shown) override {
        if (settings_.Handle()) ShowWindow(settings_.Handle(), shown ? SW_SHOWNA : SW_HIDE);
    }

    WindowData* CurrentWindow() const override { return host_.CurrentProject().CurrentWindow(); }

  private:
    PageHost& host_;  // not owned: the main window
    TabControl tabs_;
    WindowsPage windows_;
    OutputPage output_;
    class SettingsWindow settings_;
};

}  // namespace

std::unique_ptr<MainPages> CreateMainPages(PageHost& host, HWND mainWindow, HWND tabControl) {
    auto pages = std::make_unique<BuilderPages>(host);
    if (!pages->Create(mainWindow, tabControl)) return nullptr;
    return pages;
}

}  // namespace kestrel
