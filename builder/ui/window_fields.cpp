#include "builder/ui/window_fields.h"

#include <cstdint>
#include <limits>

namespace kestrel {

bool FlagOf(const WindowSettings& s, WindowFlag flag) {
    switch (flag) {
        case WindowFlag::HasMinimize:
            return s.windowHasMinimize;
        case WindowFlag::HasMaximize:
            return s.windowHasMaximize;
        case WindowFlag::HasClose:
            return s.windowHasClose;
        case WindowFlag::IsResizable:
            return s.windowIsResizable;
        case WindowFlag::IsVisible:
            return s.windowIsVisible;
        case WindowFlag::HasMenu:
            return s.windowHasMenu;
        case WindowFlag::Fullscreen:
            return s.windowFullscreen;
        case WindowFlag::ExitOnEscape:
            return s.exitOnEscape;
        case WindowFlag::UseFlashBgcolor:
            return s.useFlashBgcolor;
        case WindowFlag::FlashShowMenu:
            return s.flashShowMenu;
    }
    return false;
}

void SetFlag(WindowData& window, WindowFlag flag, bool value) {
    switch (flag) {
        case WindowFlag::HasMinimize:
            return window.SetWindowHasMinimize(value);
        case WindowFlag::HasMaximize:
            return window.SetWindowHasMaximize(value);
        case WindowFlag::HasClose:
            return window.SetWindowHasClose(value);
        case WindowFlag::IsResizable:
            return window.SetWindowIsResizable(value);
        case WindowFlag::IsVisible:
            return window.SetWindowIsVisible(value);
        case WindowFlag::HasMenu:
            return window.SetWindowHasMenu(value);
        case WindowFlag::Fullscreen:
            return window.SetWindowFullscreen(value);
        case WindowFlag::ExitOnEscape:
            return window.SetExitOnEscape(value);
        case WindowFlag::UseFlashBgcolor:
            return window.SetUseFlashBgcolor(value);
        case WindowFlag::FlashShowMenu:
            return window.SetFlashShowMenu(value);
    }
}

int32_t ShownNumber(const WindowSettings& s, WindowNumber number) {
    bool percent = s.windowSize == SizeMode::ScreenPercent;
    switch (number) {
        case WindowNumber::X:
            return s.windowX;
        case WindowNumber::Y:
            return s.windowY;
        case WindowNumber::Width:
            return percent ? s.windowWidthPercent : s.windowWidth;
        case WindowNumber::Height:
            return percent ? s.windowHeightPercent : s.windowHeight;
    }
    return 0;
}

void SetShownNumber(WindowData& window, WindowNumber number, int32_t value) {
    bool percent = window.Settings().windowSize == SizeMode::ScreenPercent;
    switch (number) {
        case WindowNumber::X:
            return window.SetWindowX(value);
        case WindowNumber::Y:
            return window.SetWindowY(value);
        case WindowNumber::Width:
            return percent ? window.SetWindowWidthPercent(value) : window.SetWindowWidth(value);
        case WindowNumber::Height:
            return percent ? window.SetWindowHeightPercent(value) : window.SetWindowHeight(value);
    }
}

int32_t ParseNumberText(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    // One past the largest magnitude is enough to know the value saturates.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        if (magnitude < kLimit) magnitude = magnitude * 10 + (c - '0');
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<int32_t>::min()
                                   : static_cast<int32_t>(-magnitude);
    }
    return magnitude >= kLimit ? std::numeric_limits<int32_t>::max()
                               : static_cast<int32_t>(magnitude);
}

WindowPageState WindowPageStateFor(const WindowSettings& s) {
    WindowPageState state;
    state.maskShown = s.windowType == WindowType::Mask;
    state.windowButtonsShown = s.windowType == WindowType::Standard;
    state.captionButtonsEnabled = s.windowStyle != WindowStyle::Modal;
    state.sizeBoxesEnabled = s.windowSize != SizeMode::SwfSize;
    state.percentLabelsShown = s.windowSize == SizeMode::ScreenPercent;
    state.positionBoxesShown = s.windowPosition == PositionMode::Custom;
    return state;
}

}  // namespace kestrel
