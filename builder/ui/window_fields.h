// The check boxes and number boxes of the settings pages, as fields of the
// window they edit: what each shows, and which setter it calls.
#pragma once

#include <cstdint>
#include <string_view>

#include "builder/window_data.h"

namespace kestrel {

enum class WindowFlag {
    HasMinimize,
    HasMaximize,
    HasClose,
    IsResizable,
    IsVisible,
    HasMenu,
    Fullscreen,
    ExitOnEscape,
    UseFlashBgcolor,
    FlashShowMenu,
};

bool FlagOf(const WindowSettings& settings, WindowFlag flag);
void SetFlag(WindowData& window, WindowFlag flag, bool value);

enum class WindowNumber { X, Y, Width, Height };

// What the box shows: in screen-percentage mode W and H are the width and
// height percentages, otherwise pixels.
int32_t ShownNumber(const WindowSettings& settings, WindowNumber number);
// Sets the field the box shows, so a box never writes a value in other units
// than it displays.
void SetShownNumber(WindowData& window, WindowNumber number, int32_t value);

// A number box's text as a decimal integer: blanks around it are allowed,
// anything else that is not an optional sign and digits gives 0, and values
// beyond 32 bits saturate rather than wrap.
int32_t ParseNumberText(std::string_view text);

// Which controls of the Window page are shown and enabled for a window.
struct WindowPageState {
    bool maskShown = false;             // label, file name and Browse
    bool windowButtonsShown = true;     // Minimize, Maximize/Zoom, Close, Resizable, Has Menu
    bool captionButtonsEnabled = true;  // Minimize, Maximize/Zoom, Close
    bool sizeBoxesEnabled = false;      // W and H
    bool percentLabelsShown = false;    // the "%" after W and H
    bool positionBoxesShown = true;     // X and Y with their labels
};

WindowPageState WindowPageStateFor(const WindowSettings& settings);

}  // namespace kestrel
