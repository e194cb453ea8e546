// Tab order and the numbers tabIndex keeps, apart from any movie.
#include "player/runtime/tab_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace kestrel::runtime {
namespace {

TEST(TabIndexNumbers, FieldsKeepUnsignedAndButtonsSignedWithNaNAndOverflowAtTheMinimum) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        int64_t field, button;
    } cases[] = {
        {0, 0, 0},
        {4, 4, 4},
        {1.9, 1, 1},
        {-1.9, 4294967295, -1},
        {-4, 4294967292, -4},
        {2147483647, 2147483647, 2147483647},
        {2147483648.0, 2147483648, INT32_MIN},
        {-2147483648.0, 2147483648, INT32_MIN},
        {4294967296.0 + 3, 3, INT32_MIN},
        {nan, 0, INT32_MIN},
        {INFINITY, 0, INT32_MIN},
        {-INFINITY, 0, INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FieldTabIndex(c.value), c.field) << c.value;
        EXPECT_EQ(ButtonTabIndex(c.value), c.button) << c.value;
    }
}

TEST(TabOrder, WithoutTabIndexGoesRowByRowThenLeftToRight) {
    std::vector<TabStop> stops(4);
    stops[0].left = 200, stops[0].top = 50;
    stops[1].left = 10, stops[1].top = 100;
    stops[2].left = 10, stops[2].top = 50;
    stops[3].left = 200, stops[3].top = 10;
    EXPECT_EQ(TabOrder(stops), (std::vector<size_t>{3, 2, 0, 1}));
}

TEST(TabOrder, AnyTabIndexLeavesOutTheStopsWithoutOne) {
    std::vector<TabStop> stops(5);
    stops[0].tabIndex = 3;
    stops[2].tabIndex = 1;
    stops[3].tabIndex = 3;  // equal to stop 0: display-list order decides
    stops[4].tabIndex = -2;
    stops[1].top = -100;  // first by position, but has no tabIndex
    EXPECT_EQ(TabOrder(stops), (std::vector<size_t>{4, 2, 0, 3}));
}

TEST(TabOrder, NextStopWrapsAroundBothWaysAndStartsAtAnEnd) {
    const std::vector<size_t> order = {2, 0, 1};
    struct Case {
        std::optional<size_t> current;
        bool backwards;
        size_t next;
    } cases[] = {
        {std::nullopt, false, 2},
        {std::nullopt, true, 1},
        {2, false, 0},
        {1, false, 2},
        {2, true, 1},
        {0, true, 2},
        {7, false, 2},  // not in the order
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextTabStop(order, c.current, c.backwards), c.next)
            << (c.current ? static_cast<int>(*c.current) : -1) << " " << c.backwards;
    EXPECT_FALSE(NextTabStop({}, std::nullopt, false));
    EXPECT_EQ(NextTabStop({5}, 5, false), 5u);
}

}  // namespace
}  // namespace kestrel::runtime
