// Tab order apart from any movie: ties, negative indices and the ends of the order.
#include "player/runtime/tab_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::runtime {
namespace {

TEST(TabOrder, AnyTabIndexLeavesOutTheStopsWithoutOneAndTiesKeepDisplayOrder) {
    std::vector<TabStop> stops(5);
    stops[0].tabIndex = 3;
    stops[1].top = -100;  // first by position, but has no tabIndex
    stops[2].tabIndex = 1;
    stops[3].tabIndex = 3;
    stops[4].tabIndex = -2;
    EXPECT_EQ(TabOrder(stops), (std::vector<size_t>{4, 2, 0, 3}));
}

TEST(TabOrder, NextStopWrapsBothWaysAndStartsAtAnEndWhenNothingInTheOrderHasFocus) {
    const std::vector<size_t> order = {2, 0, 1};
    EXPECT_EQ(NextTabStop(order, std::nullopt, false), 2u);
    EXPECT_EQ(NextTabStop(order, std::nullopt, true), 1u);
    EXPECT_EQ(NextTabStop(order, 7, false), 2u);
    EXPECT_EQ(NextTabStop(order, 1, false), 2u);
    EXPECT_EQ(NextTabStop(order, 2, true), 1u);
    EXPECT_FALSE(NextTabStop({}, std::nullopt, false));
}

}  // namespace
}  // namespace kestrel::runtime
