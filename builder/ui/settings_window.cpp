#include "builder/ui/settings_window.h"

#include <algorithm>

#include "builder/ui/page_ids.h"
#include "builder/ui/resource_ids.h"

namespace kestrel {

bool SettingsWindow::Create(HWND owner) {
    return CreateModeless(IDD_SETTINGS_WINDOW, owner, ID_SETTINGS_FRAME);
}

bool SettingsWindow::OnInit() {
    if (!tabs_.Bind(Handle(), IDC_SETTINGS_TABS)) return false;
    RECT client{};
    GetClientRect(Handle(), &client);
    initialClient_ = {client.right, client.bottom};
    initialTabs_ = tabs_.Rect();
    struct PageTemplate {
        SettingsPage* page;
        int templateId;
        int id;
        int label;
    } pages[] = {
        {&setup_, IDD_PAGE_SETUP, ID_PAGE_SETUP, IDS_SETUP_TAB},
        {&window_, IDD_PAGE_WINDOW, ID_PAGE_WINDOW, IDS_WINDOW_TAB},
        {&input_, IDD_PAGE_INPUT, ID_PAGE_INPUT, IDS_INPUT_TAB},
        {&flash_, IDD_PAGE_FLASH, ID_PAGE_FLASH, IDS_FLASH_TAB},
    };
    for (const PageTemplate& entry : pages) {
        if (entry.page->Create(entry.templateId, Handle(), entry.id)) {
            tabs_.AddPageFromResource(entry.page->Handle(), entry.label);
        }
    }
    tabs_.Select(0);
    return false;
}

SettingsPage* SettingsWindow::Pages(size_t index) {
    SettingsPage* pages[] = {&setup_, &window_, &input_, &flash_};
    return index < std::size(pages) ? pages[index] : nullptr;
}

void SettingsWindow::Load() {
    for (size_t i = 0; SettingsPage* page = Pages(i); ++i) {
        if (page->Handle()) page->Load();
    }
}

void SettingsWindow::ApplyPendingEdits() {
    for (size_t i = 0; SettingsPage* page = Pages(i); ++i) {
        if (page->Handle()) page->ApplyPendingEdits();
    }
}

bool SettingsWindow::OnNotify(int id, NMHDR* header, LRESULT*) {
    if (id != IDC_SETTINGS_TABS || header->code != TCN_SELCHANGE) return false;
    tabs_.ShowSelectedPage();
    return true;
}

bool SettingsWindow::OnSize(int width, int height) {
    if (!tabs_.Handle() || initialClient_.cx == 0) return false;
    RECT rect = initialTabs_;
    rect.right += std::max(0, width - static_cast<int>(initialClient_.cx));
    rect.bottom += std::max(0, height - static_cast<int>(initialClient_.cy));
    tabs_.SetRect(rect);
    tabs_.PlacePages();
    return true;
}

bool SettingsWindow::OnClose() {
    ShowWindow(Handle(), SW_HIDE);
    return true;
}

}  // namespace kestrel
