#include "builder/ui/combo_lists.h"

#include <iterator>

namespace kestrel {

namespace {

constexpr int kTypeItems[] = {184, 185, 186};             // Standard, Custom Shape, Transparent
constexpr int kStyleItems[] = {184, 202, 203, 204};       // Standard, Modal, Tool, No Border
constexpr int kSizeItems[] = {187, 188, 189};             // Custom, Match SWF, Screen Percentage
constexpr int kPositionItems[] = {190, 191};              // Custom, Center
constexpr int kLeftMouseItems[] = {192, 194, 193};        // Drag Window, Send to Flash, Ignore
constexpr int kRightMouseItems[] = {192, 194, 193, 201};  // ... Custom Menu
constexpr int kQualityItems[] = {195, 196, 197, 198, 199, 200};  // Low ... Best
constexpr int kScaleItems[] = {217, 218, 219};                   // Show All, No Border, Exact Fit

template <size_t N>
constexpr ComboItems Items(const int (&strings)[N]) {
    return {strings, N};
}

int32_t ValueOf(PageCombo combo, const WindowSettings& s) {
    switch (combo) {
        case PageCombo::WindowType:
            return static_cast<int32_t>(s.windowType);
        case PageCombo::WindowStyle:
            return static_cast<int32_t>(s.windowStyle);
        case PageCombo::WindowSize:
            return static_cast<int32_t>(s.windowSize);
        case PageCombo::WindowPosition:
            return static_cast<int32_t>(s.windowPosition);
        case PageCombo::LeftMouse:
            return static_cast<int32_t>(s.leftMouseAction);
        case PageCombo::RightMouse:
            return static_cast<int32_t>(s.rightMouseAction);
        case PageCombo::FlashQuality:
            return static_cast<int32_t>(s.flashQuality);
        case PageCombo::FlashScale:
            return static_cast<int32_t>(s.flashScale);
    }
    return -1;
}

}  // namespace

ComboItems ItemsOf(PageCombo combo) {
    switch (combo) {
        case PageCombo::WindowType:
            return Items(kTypeItems);
        case PageCombo::WindowStyle:
            return Items(kStyleItems);
        case PageCombo::WindowSize:
            return Items(kSizeItems);
        case PageCombo::WindowPosition:
            return Items(kPositionItems);
        case PageCombo::LeftMouse:
            return Items(kLeftMouseItems);
        case PageCombo::RightMouse:
            return Items(kRightMouseItems);
        case PageCombo::FlashQuality:
            return Items(kQualityItems);
        case PageCombo::FlashScale:
            return Items(kScaleItems);
    }
    return {nullptr, 0};
}

int ComboIndexFor(PageCombo combo, const WindowSettings& settings) {
    int32_t value = ValueOf(combo, settings);
    return value >= 0 && static_cast<size_t>(value) < ItemsOf(combo).count ? value : -1;
}

bool ApplyComboIndex(PageCombo combo, int index, WindowData& window) {
    if (index < 0 || static_cast<size_t>(index) >= ItemsOf(combo).count) return false;
    switch (combo) {
        case PageCombo::WindowType:
            window.SetWindowType(static_cast<WindowType>(index));
            break;
        case PageCombo::WindowStyle:
            window.SetWindowStyle(static_cast<WindowStyle>(index));
            break;
        case PageCombo::WindowSize:
            window.SetWindowSize(static_cast<SizeMode>(index));
            break;
        case PageCombo::WindowPosition:
            window.SetWindowPosition(static_cast<PositionMode>(index));
            break;
        case PageCombo::LeftMouse:
            window.SetLeftMouseAction(static_cast<MouseAction>(index));
            break;
        case PageCombo::RightMouse:
            window.SetRightMouseAction(static_cast<MouseAction>(index));
            break;
        case PageCombo::FlashQuality:
            window.SetFlashQuality(static_cast<FlashQuality>(index));
            break;
        case PageCombo::FlashScale:
            window.SetFlashScale(static_cast<FlashScale>(index));
            break;
    }
    return true;
}

}  // namespace kestrel
