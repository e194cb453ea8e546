#include "builder/ui/settings_page.h"

#include "builder/ui/page_texts.h"

namespace kestrel {

bool SettingsPage::Create(int templateId, HWND parent, int id) {
    return CreateModeless(templateId, parent, id, true);
}

bool SettingsPage::TakeTyped(const EditBox& box) {
    if (!SendMessageA(box.Handle(), EM_GETMODIFY, 0, 0)) return false;
    SendMessageA(box.Handle(), EM_SETMODIFY, FALSE, 0);
    return true;
}

void SettingsPage::EditCurrentWindow(const std::function<void(WindowData&)>& change) {
    WindowData* window = CurrentWindow();
    if (!window) return;
    host_.PerformEdit([&](Project&) { change(*window); });
    Load();
}

void SettingsPage::EditProject(const std::function<void(Project&)>& change) {
    host_.PerformEdit(change);
    Load();
}

void SettingsPage::AddTooltip(const Control& control, int stringId) {
    if (!tooltips_.Handle()) tooltips_.Create(Handle());
    tooltips_.AddTool(control.Handle(), stringId);
}

void SettingsPage::FillCombo(ComboBox& box, PageCombo combo) {
    box.Reset();
    ComboItems items = ItemsOf(combo);
    for (size_t i = 0; i < items.count; ++i) box.AddFromResource(items.strings[i]);
}

void SettingsPage::ShowCombo(ComboBox& box, PageCombo combo) {
    WindowData* window = CurrentWindow();
    box.SetSelection(window ? ComboIndexFor(combo, window->Settings()) : -1);
    box.Enable(window != nullptr);
}

void SettingsPage::ShowOrNotAvailable(StaticText& field, const std::optional<std::string>& text) {
    if (text) {
        field.SetText(*text);
    } else {
        field.SetTextFromResource(kNotAvailableString);
    }
}

}  // namespace kestrel
