// The items of the settings pages' combo boxes, as string table ids in the
// order they are shown. The selected index is the value the model stores,
// which is why the mouse lists show "Send to Flash" (1) before "Ignore" (2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "builder/window_data.h"

namespace kestrel {

enum class PageCombo {
    WindowType,
    WindowStyle,
    WindowSize,
    WindowPosition,
    LeftMouse,
    RightMouse,
    FlashQuality,
    FlashScale,
};

struct ComboItems {
    const int* strings;  // not owned: static tables
    size_t count;
};

ComboItems ItemsOf(PageCombo combo);

// The index to select for the window's value; -1 (no selection) when the
// list does not hold it, e.g. a left mouse action of custom_menu read from a
// project file.
int ComboIndexFor(PageCombo combo, const WindowSettings& settings);

// Sets the window's field from a selected index through its setter (which
// counts a real change); false and nothing set for no selection or an index
// out of the list.
bool ApplyComboIndex(PageCombo combo, int index, WindowData& window);

}  // namespace kestrel
