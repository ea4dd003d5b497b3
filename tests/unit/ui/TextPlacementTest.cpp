#include "ui/TextPlacement.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(ButtonTextPlacement, EveryAlignmentCode) {
    // button 100 x 40, text 30 x 10, margin 5
    EXPECT_EQ(PlaceButtonText(kAlignLeft, 5, 100, 40, 30, 10), (TextPoint{7, 15}));
    EXPECT_EQ(PlaceButtonText(kAlignRight, 5, 100, 40, 30, 10), (TextPoint{63, 15}));
    EXPECT_EQ(PlaceButtonText(kAlignCentre, 5, 100, 40, 30, 10), (TextPoint{35, 15}));
    EXPECT_EQ(PlaceButtonText(kAlignTopCentre, 5, 100, 40, 30, 10), (TextPoint{35, 0}));
    EXPECT_EQ(PlaceButtonText(kAlignBottomLeft, 5, 100, 40, 30, 10), (TextPoint{0, 30}));
    EXPECT_EQ(PlaceButtonText(kAlignBottomCentre, 5, 100, 40, 30, 10), (TextPoint{35, 30}));
    EXPECT_EQ(PlaceButtonText(1, 5, 100, 40, 30, 10), (TextPoint{0, 0}));
}

TEST(ButtonTextPlacement, TextLargerThanTheButtonStartsAtZero) {
    EXPECT_EQ(PlaceButtonText(kAlignCentre, 0, 20, 10, 50, 16), (TextPoint{0, 0}));
    EXPECT_EQ(PlaceButtonText(kAlignRight, 10, 40, 10, 35, 16), (TextPoint{0, 0}));
    EXPECT_EQ(PlaceButtonText(kAlignBottomCentre, 0, 20, 10, 10, 16), (TextPoint{5, 0}));
}

TEST(ButtonTextPlacement, ACentredTextStaysRightOfTheMarginWhereAnIconIs) {
    EXPECT_EQ(PlaceButtonText(kAlignCentre, 50, 218, 45, 150, 16), (TextPoint{50, 14}));
    EXPECT_EQ(PlaceButtonText(kAlignCentre, 50, 218, 45, 60, 16), (TextPoint{79, 14}));
}

} // namespace
} // namespace rf
