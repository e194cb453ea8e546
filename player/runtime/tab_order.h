// Keyboard focus order: which objects the Tab key visits and in what order, and how a
// script's tabIndex value is stored. Knows nothing of scripts or the display list: the
// caller describes each object that may take the focus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel::runtime {

// A text field keeps tabIndex as an unsigned 32-bit number (-4 reads back as 4294967292,
// NaN as 0).
int64_t FieldTabIndex(double value);
// Buttons and clips keep a signed 32-bit number truncated the way the processor does it:
// NaN and values out of range become -2147483648.
int64_t ButtonTabIndex(double value);

// One object that may take the focus, in display-list order.
struct TabStop {
    std::optional<int64_t> tabIndex;  // none unless a script set one
    double left = 0, top = 0;         // its bounds' top-left corner on the stage
};

// Indices into `stops` in the order Tab visits them. When any stop has a tabIndex, only
// those with one take part, by ascending tabIndex (display-list order among equals);
// otherwise all take part, row by row from the top and left to right within a row.
std::vector<size_t> TabOrder(const std::vector<TabStop>& stops);

// The stop after `current` in `order` (before it when `backwards`), wrapping around.
// With no current stop (or one outside the order) Tab starts at the first and Shift+Tab
// at the last. Nothing when the order is empty.
std::optional<size_t> NextTabStop(const std::vector<size_t>& order, std::optional<size_t> current,
                                  bool backwards);

}  // namespace kestrel::runtime
