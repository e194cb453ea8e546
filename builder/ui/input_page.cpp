#include "builder/ui/input_page.h"

#include "builder/ui/page_ids.h"
#include "builder/ui/window_fields.h"

namespace kestrel {

bool InputPage::OnInit() {
    leftMouse_.Bind(Handle(), IDC_LEFT_MOUSE);
    rightMouse_.Bind(Handle(), IDC_RIGHT_MOUSE);
    exitOnEscape_.Bind(Handle(), IDC_EXIT_ON_ESCAPE);
    FillCombo(leftMouse_, PageCombo::LeftMouse);
    FillCombo(rightMouse_, PageCombo::RightMouse);
    AddTooltip(leftMouse_, 278);
    AddTooltip(rightMouse_, 279);
    AddTooltip(exitOnEscape_, 280);
    return false;
}

void InputPage::Load() {
    loading_ = true;
    WindowData* window = CurrentWindow();
    ShowCombo(leftMouse_, PageCombo::LeftMouse);
    ShowCombo(rightMouse_, PageCombo::RightMouse);
    exitOnEscape_.SetChecked(window && window->Settings().exitOnEscape);
    exitOnEscape_.Enable(window != nullptr);
    loading_ = false;
}

bool InputPage::OnCommand(int id, int code, HWND) {
    if (loading_) return false;
    if (code == CBN_SELCHANGE && (id == IDC_LEFT_MOUSE || id == IDC_RIGHT_MOUSE)) {
        bool left = id == IDC_LEFT_MOUSE;
        PageCombo combo = left ? PageCombo::LeftMouse : PageCombo::RightMouse;
        int index = (left ? leftMouse_ : rightMouse_).Selection();
        EditCurrentWindow([combo, index](WindowData& w) { ApplyComboIndex(combo, index, w); });
        return true;
    }
    if (code == BN_CLICKED && id == IDC_EXIT_ON_ESCAPE) {
        bool checked = exitOnEscape_.Checked();
        EditCurrentWindow([checked](WindowData& w) { w.SetExitOnEscape(checked); });
        return true;
    }
    return false;
}

}  // namespace kestrel
