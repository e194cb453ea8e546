#include "builder/ui/flash_page.h"

#include "builder/ui/page_ids.h"

namespace kestrel {

bool FlashPage::OnInit() {
    useColour_.Bind(Handle(), IDC_USE_BGCOLOR);
    colour_.Bind(Handle(), IDC_BGCOLOR);
    quality_.Bind(Handle(), IDC_QUALITY);
    showMenu_.Bind(Handle(), IDC_SHOW_FLASH_MENU);
    scale_.Bind(Handle(), IDC_SCALE);
    FillCombo(quality_, PageCombo::FlashQuality);
    FillCombo(scale_, PageCombo::FlashScale);
    AddTooltip(colour_, 281);
    AddTooltip(quality_, 282);
    AddTooltip(showMenu_, 283);
    AddTooltip(scale_, 295);
    return false;
}

void FlashPage::Load() {
    loading_ = true;
    WindowData* window = CurrentWindow();
    const WindowSettings* s = window ? &window->Settings() : nullptr;
    useColour_.SetChecked(s && s->useFlashBgcolor);
    useColour_.Enable(s != nullptr);
    colour_.SetColour(s ? s->flashBgcolor : 0);
    colour_.Enable(s && s->useFlashBgcolor);
    ShowCombo(quality_, PageCombo::FlashQuality);
    showMenu_.SetChecked(s && s->flashShowMenu);
    showMenu_.Enable(s != nullptr);
    ShowCombo(scale_, PageCombo::FlashScale);
    loading_ = false;
}

bool FlashPage::OnCommand(int id, int code, HWND) {
    if (loading_) return false;
    if (code == CBN_SELCHANGE && (id == IDC_QUALITY || id == IDC_SCALE)) {
        bool quality = id == IDC_QUALITY;
        PageCombo combo = quality ? PageCombo::FlashQuality : PageCombo::FlashScale;
        int index = (quality ? quality_ : scale_).Selection();
        EditCurrentWindow([combo, index](WindowData& w) { ApplyComboIndex(combo, index, w); });
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_USE_BGCOLOR: {
            bool checked = useColour_.Checked();
            EditCurrentWindow([checked](WindowData& w) { w.SetUseFlashBgcolor(checked); });
            return true;
        }
        case IDC_BGCOLOR: {
            if (!CurrentWindow()) return true;
            // Cancelled or not, the window takes the button's colour; an
            // unchanged colour makes no undo entry.
            colour_.Choose(Host().Dialogs(), &Host().UserPreferences().customColours);
            uint32_t colour = colour_.Colour();
            EditCurrentWindow([colour](WindowData& w) { w.SetFlashBgcolor(colour); });
            return true;
        }
        case IDC_SHOW_FLASH_MENU: {
            bool checked = showMenu_.Checked();
            EditCurrentWindow([checked](WindowData& w) { w.SetFlashShowMenu(checked); });
            return true;
        }
        default:
            return false;
    }
}

}  // namespace kestrel
