#include "pages/ColumnFit.h"

#include <gtest/gtest.h>
#include <numeric>

namespace rf {
namespace {

int Sum(const std::vector<int>& widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

TEST(ColumnFit, ANarrowAreaTakesTheShortfallFromOneColumnDownToItsMinimum) {
    const std::vector<int> widths{60, 400, 150, 150, 80};
    const std::vector<bool> grows{false, true, false, true, false};
    const auto fitted = FitColumnWidths(widths, grows, 1, 160, 740);
    EXPECT_EQ(fitted, (std::vector<int>{60, 300, 150, 150, 80}));
    EXPECT_EQ(Sum(fitted), 740);
    // Below the minimum the area scrolls instead of cutting the others.
    EXPECT_EQ(FitColumnWidths(widths, grows, 1, 160, 400), (std::vector<int>{60, 160, 150, 150, 80}));
    // A column already narrower than the minimum is not widened by a shortfall.
    EXPECT_EQ(FitColumnWidths({60, 100, 150}, {false, true, false}, 1, 160, 200),
              (std::vector<int>{60, 100, 150}));
}

TEST(ColumnFit, AWideAreaSharesItsRoomAmongTheGrowingColumns) {
    const std::vector<int> widths{60, 400, 150, 150, 80};
    const std::vector<bool> grows{false, true, false, true, false};
    const auto fitted = FitColumnWidths(widths, grows, 1, 160, 1240);
    EXPECT_EQ(Sum(fitted), 1240);
    EXPECT_EQ(fitted[0], 60);
    EXPECT_EQ(fitted[2], 150);
    EXPECT_EQ(fitted[4], 80);
    EXPECT_GT(fitted[1], 400);
    EXPECT_GT(fitted[3], 150);
    EXPECT_EQ(FitColumnWidths(widths, grows, 1, 160, Sum(widths)), widths);
}

} // namespace
} // namespace rf
