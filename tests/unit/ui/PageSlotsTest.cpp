#include "ui/PageSlots.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

constexpr int E = kEllipsisSlot;

TEST(PageSlots, FewPagesShowEveryPage) {
    EXPECT_TRUE(ComputePageSlots(0, 1).empty());
    EXPECT_EQ(ComputePageSlots(1, 1), (std::vector<int>{1}));
    EXPECT_EQ(ComputePageSlots(7, 4), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(PageSlots, ManyPagesShowTheNeighbourhoodOfTheCurrentPage) {
    EXPECT_EQ(ComputePageSlots(20, 10), (std::vector<int>{1, E, 9, 10, 11, E, 20}));
    EXPECT_EQ(ComputePageSlots(20, 3), (std::vector<int>{1, 2, 3, 4, 5, E, 20}));
    EXPECT_EQ(ComputePageSlots(20, 18), (std::vector<int>{1, E, 16, 17, 18, 19, 20}));
    // the borders between the three shapes
    EXPECT_EQ(ComputePageSlots(20, 4), (std::vector<int>{1, 2, 3, 4, 5, E, 20}));
    EXPECT_EQ(ComputePageSlots(20, 5), (std::vector<int>{1, E, 4, 5, 6, E, 20}));
    EXPECT_EQ(ComputePageSlots(20, 16), (std::vector<int>{1, E, 15, 16, 17, E, 20}));
    EXPECT_EQ(ComputePageSlots(20, 17), (std::vector<int>{1, E, 16, 17, 18, 19, 20}));
    EXPECT_EQ(ComputePageSlots(8, 5), (std::vector<int>{1, E, 4, 5, 6, 7, 8}));
}

TEST(PageSlots, EverySlotRowHasSevenSlotsAndStaysInRange) {
    for (int pages = 8; pages <= 40; ++pages) {
        for (int current = 1; current <= pages; ++current) {
            const auto slots = ComputePageSlots(pages, current);
            ASSERT_EQ(slots.size(), 7U) << pages << "/" << current;
            EXPECT_EQ(slots.front(), 1);
            EXPECT_EQ(slots.back(), pages);
            int last = 0;
            for (const int slot : slots) {
                if (slot != E) {
                    EXPECT_GT(slot, last) << "pages ascend without repeats";
                    last = slot;
                }
            }
            EXPECT_NE(std::find(slots.begin(), slots.end(), current), slots.end()) << "current page is shown";
        }
    }
}

TEST(PageSlots, WidthsAndPlacement) {
    EXPECT_EQ(SlotWidth(7), 32);
    EXPECT_EQ(SlotWidth(23), 32);
    EXPECT_EQ(SlotWidth(24), 32);
    EXPECT_EQ(SlotWidth(30), 38);

    const std::vector<int> widths{32, 32, 40};
    const auto left = LayoutSlots(widths, 300, 40, 0);
    ASSERT_EQ(left.size(), 3U);
    EXPECT_EQ(left[0], (SlotRect{2, 8, 32, 24}));
    EXPECT_EQ(left[1], (SlotRect{37, 8, 32, 24}));
    EXPECT_EQ(left[2], (SlotRect{72, 8, 40, 24}));
    // row width 32 + 32 + 40 + 2 * 3 = 110
    EXPECT_EQ(LayoutSlots(widths, 300, 40, 1)[0].x, 95);
    EXPECT_EQ(LayoutSlots(widths, 300, 40, 2)[0].x, 190);
    EXPECT_EQ(LayoutSlots(widths, 300, 40, 2)[2].x + 40, 300);
    EXPECT_TRUE(LayoutSlots({}, 300, 40, 1).empty());
}

TEST(PageSlots, HitTesting) {
    const auto rects = LayoutSlots({32, 32}, 100, 24, 0);
    EXPECT_EQ(SlotAt(rects, 2, 0), 0);
    EXPECT_EQ(SlotAt(rects, 33, 23), 0);
    EXPECT_EQ(SlotAt(rects, 34, 10), -1) << "the gap between slots";
    EXPECT_EQ(SlotAt(rects, 37, 10), 1);
    EXPECT_EQ(SlotAt(rects, 37, 24), -1);
    EXPECT_EQ(SlotAt(rects, 0, 10), -1);
}

} // namespace
} // namespace rf
