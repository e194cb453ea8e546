#include "player/runtime/tab_order.h"

#include <algorithm>
#include <cmath>

#include "player/avm1/conversions.h"

namespace kestrel::runtime {

int64_t FieldTabIndex(double value) {
    return avm1::toUint32(value);
}

int64_t ButtonTabIndex(double value) {
    constexpr double kLimit = 2147483648.0;
    if (std::isnan(value) || value >= kLimit || value <= -kLimit - 1) return INT32_MIN;
    return static_cast<int64_t>(std::trunc(value));
}

std::vector<size_t> TabOrder(const std::vector<TabStop>& stops) {
    std::vector<size_t> order;
    const bool custom =
        std::any_of(stops.begin(), stops.end(), [](const TabStop& s) { return s.tabIndex; });
    for (size_t i = 0; i < stops.size(); ++i)
        if (!custom || stops[i].tabIndex) order.push_back(i);
    if (custom) {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return *stops[a].tabIndex < *stops[b].tabIndex;
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (stops[a].top != stops[b].top) return stops[a].top < stops[b].top;
            return stops[a].left < stops[b].left;
        });
    }
    return order;
}

std::optional<size_t> NextTabStop(const std::vector<size_t>& order, std::optional<size_t> current,
                                  bool backwards) {
    if (order.empty()) return std::nullopt;
    auto at = current ? std::find(order.begin(), order.end(), *current) : order.end();
    if (at == order.end()) return backwards ? order.back() : order.front();
    size_t position = static_cast<size_t>(at - order.begin());
    if (backwards) return order[position == 0 ? order.size() - 1 : position - 1];
    return order[(position + 1) % order.size()];
}

}  // namespace kestrel::runtime
