#include "builder/ui/window_page.h"

#include <string>
#include <utility>
#include <vector>

#include "builder/ui/page_ids.h"
#include "builder/ui/page_texts.h"
#include "builder/ui/window_fields.h"

namespace kestrel {
namespace {

struct FlagControl {
    int id;
    WindowFlag flag;
    int tooltip;  // 0: none
};
constexpr FlagControl kFlags[] = {
    {IDC_WINDOW_HAS_MINIMIZE, WindowFlag::HasMinimize, 274},
    {IDC_WINDOW_HAS_MAXIMIZE, WindowFlag::HasMaximize, 275},
    {IDC_WINDOW_HAS_CLOSE, WindowFlag::HasClose, 276},
    {IDC_WINDOW_IS_RESIZABLE, WindowFlag::IsResizable, 277},
    {IDC_WINDOW_HAS_MENU, WindowFlag::HasMenu, 297},
    {IDC_WINDOW_IS_VISIBLE, WindowFlag::IsVisible, 296},
    {IDC_WINDOW_FULLSCREEN, WindowFlag::Fullscreen, 0},
};
// The first five are shown for standard windows only, the first three
// disabled for modal ones.
constexpr size_t kWindowButtons = 5;
constexpr size_t kCaptionButtons = 3;

struct NumberControl {
    int id;
    WindowNumber number;
    int tooltip;
};
constexpr NumberControl kNumbers[] = {
    {IDC_WINDOW_WIDTH, WindowNumber::Width, 268},
    {IDC_WINDOW_HEIGHT, WindowNumber::Height, 269},
    {IDC_WINDOW_X, WindowNumber::X, 271},
    {IDC_WINDOW_Y, WindowNumber::Y, 272},
};

struct ComboControl {
    int id;
    PageCombo combo;
    int tooltip;
};
constexpr ComboControl kCombos[] = {
    {IDC_WINDOW_TYPE, PageCombo::WindowType, 264},
    {IDC_WINDOW_STYLE, PageCombo::WindowStyle, 273},
    {IDC_WINDOW_SIZE, PageCombo::WindowSize, 267},
    {IDC_WINDOW_POSITION, PageCombo::WindowPosition, 270},
};

}  // namespace

bool WindowPage::OnInit() {
    static_assert(std::size(kFlags) == std::tuple_size<decltype(flags_)>::value);
    static_assert(std::size(kNumbers) == std::tuple_size<decltype(numbers_)>::value);
    static_assert(std::size(kCombos) == std::tuple_size<decltype(combos_)>::value);
    HWND page = Handle();
    title_.Bind(page, IDC_WINDOW_TITLE);
    maskName_.Bind(page, IDC_WINDOW_MASK);
    maskBrowse_.Bind(page, IDC_WINDOW_MASK_BROWSE);
    AddTooltip(title_, 263);
    AddTooltip(maskName_, 265);
    AddTooltip(maskBrowse_, 266);
    for (size_t i = 0; i < flags_.size(); ++i) {
        flags_[i].Bind(page, kFlags[i].id);
        if (kFlags[i].tooltip) AddTooltip(flags_[i], kFlags[i].tooltip);
    }
    for (size_t i = 0; i < numbers_.size(); ++i) {
        numbers_[i].Bind(page, kNumbers[i].id);
        AddTooltip(numbers_[i], kNumbers[i].tooltip);
    }
    for (size_t i = 0; i < combos_.size(); ++i) {
        combos_[i].Bind(page, kCombos[i].id);
        FillCombo(combos_[i], kCombos[i].combo);
        AddTooltip(combos_[i], kCombos[i].tooltip);
    }
    return false;
}

void WindowPage::Load() {
    loading_ = true;
    WindowData* window = CurrentWindow();
    const WindowSettings* s = window ? &window->Settings() : nullptr;
    title_.SetText(s ? s->windowTitle : std::string());
    ShowOrNotAvailable(maskName_, ChosenFileText(s ? s->windowMask : std::string()));
    for (size_t i = 0; i < flags_.size(); ++i)
        flags_[i].SetChecked(s && FlagOf(*s, kFlags[i].flag));
    for (size_t i = 0; i < numbers_.size(); ++i) {
        if (s) {
            numbers_[i].SetInteger(ShownNumber(*s, kNumbers[i].number));
        } else {
            numbers_[i].SetText("");
        }
    }
    for (size_t i = 0; i < combos_.size(); ++i) ShowCombo(combos_[i], kCombos[i].combo);
    ApplyRules();
    loading_ = false;
}

void WindowPage::ApplyRules() {
    WindowData* window = CurrentWindow();
    bool on = window != nullptr;
    WindowPageState state = on ? WindowPageStateFor(window->Settings()) : WindowPageState{};
    auto show = [this](int id, bool shown) { ShowWindow(Item(id), shown ? SW_SHOWNA : SW_HIDE); };
    auto enable = [this](int id, bool enabled) { EnableWindow(Item(id), enabled); };

    for (int id : {IDC_WINDOW_MASK_LABEL, IDC_WINDOW_MASK, IDC_WINDOW_MASK_BROWSE}) {
        show(id, state.maskShown);
        enable(id, on);
    }
    enable(IDC_WINDOW_TITLE, on);
    for (size_t i = 0; i < flags_.size(); ++i) {
        if (i < kWindowButtons) show(kFlags[i].id, state.windowButtonsShown);
        enable(kFlags[i].id, on && (i >= kCaptionButtons || state.captionButtonsEnabled));
    }
    for (const ComboControl& combo : kCombos) enable(combo.id, on);
    enable(IDC_WINDOW_WIDTH, on && state.sizeBoxesEnabled);
    enable(IDC_WINDOW_HEIGHT, on && state.sizeBoxesEnabled);
    for (int id : {IDC_WINDOW_WIDTH_PERCENT, IDC_WINDOW_HEIGHT_PERCENT}) {
        show(id, state.percentLabelsShown);
        enable(id, on);
    }
    for (int id : {IDC_WINDOW_X, IDC_WINDOW_Y, IDC_WINDOW_X_LABEL, IDC_WINDOW_Y_LABEL}) {
        show(id, state.positionBoxesShown);
        enable(id, on);
    }
}

void WindowPage::ApplyPendingEdits() {
    // Every text is read before any is applied: applying one reloads the page.
    std::vector<std::pair<HWND, std::string>> typed;
    if (TakeTyped(title_)) typed.emplace_back(title_.Handle(), title_.Text());
    for (EditBox& box : numbers_) {
        if (TakeTyped(box)) typed.emplace_back(box.Handle(), box.Text());
    }
    for (const auto& [edit, text] : typed) ApplyEdit(edit, text);
}

bool WindowPage::OnEditFocusLost(HWND, HWND edit) {
    if (loading_) return false;
    if (edit == title_.Handle() && TakeTyped(title_)) ApplyEdit(edit, title_.Text());
    for (EditBox& box : numbers_) {
        if (box.Handle() == edit && TakeTyped(box)) ApplyEdit(edit, box.Text());
    }
    return true;
}

void WindowPage::ApplyEdit(HWND edit, const std::string& text) {
    WindowData* window = CurrentWindow();
    if (!window || !IsWindowEnabled(edit)) return;
    if (edit == title_.Handle()) {
        if (text == window->Settings().windowTitle) return;
        EditCurrentWindow([&text](WindowData& w) { w.SetWindowTitle(text); });
        return;
    }
    for (size_t i = 0; i < numbers_.size(); ++i) {
        if (numbers_[i].Handle() != edit) continue;
        WindowNumber number = kNumbers[i].number;
        if (text == std::to_string(ShownNumber(window->Settings(), number))) return;
        int32_t value = ParseNumberText(text);
        EditCurrentWindow([number, value](WindowData& w) { SetShownNumber(w, number, value); });
        return;
    }
}

bool WindowPage::OnCommand(int id, int code, HWND) {
    if (loading_) return false;
    if (code == CBN_SELCHANGE) {
        for (size_t i = 0; i < combos_.size(); ++i) {
            if (kCombos[i].id != id) continue;
            int index = combos_[i].Selection();
            PageCombo combo = kCombos[i].combo;
            EditCurrentWindow([combo, index](WindowData& w) { ApplyComboIndex(combo, index, w); });
            return true;
        }
        return false;
    }
    if (code != BN_CLICKED) return false;
    if (id == IDC_WINDOW_MASK_BROWSE) {
        ChooseMask();
        return true;
    }
    for (size_t i = 0; i < flags_.size(); ++i) {
        if (kFlags[i].id != id) continue;
        bool checked = flags_[i].Checked();
        WindowFlag flag = kFlags[i].flag;
        EditCurrentWindow([flag, checked](WindowData& w) { SetFlag(w, flag, checked); });
        return true;
    }
    return false;
}

void WindowPage::ChooseMask() {
    if (!CurrentWindow()) return;
    FileDialogArgs args;
    args.owner = OwnerWindow();
    std::string path;
    if (!Host().Dialogs().OpenFile(args, &path)) return;
    EditCurrentWindow([&path](WindowData& w) { w.SetWindowMask(path); });
}

}  // namespace kestrel
