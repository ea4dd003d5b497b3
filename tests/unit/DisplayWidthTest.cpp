#include "core/DisplayWidth.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(DisplayWidth, WideCharactersTakeTwoColumnsAndCombiningMarksNone) {
    EXPECT_EQ(DisplayWidth("Mast 7"), 6u);
    EXPECT_EQ(DisplayWidth("北京站1号"), 9u);
    EXPECT_EQ(DisplayWidth("タワー기지국ＡＢ，"), 18u);            // kana, Hangul, full-width forms
    EXPECT_EQ(DisplayWidth("e\xcc\x81t\xc3\xa9\xe2\x80\x8b"), 3u); // combining acute, é, zero-width space
    EXPECT_EQ(DisplayWidth("\xf0\xa0\x80\x80"), 2u);               // an ideograph beyond the first plane
    EXPECT_EQ(DisplayWidth("x\xff\xe5\x8c"), 4u);                  // each broken byte one column
    EXPECT_EQ(CharacterWidth(U'\u303F'), 1);                       // between two wide ranges
    EXPECT_EQ(CharacterWidth(U'\u3099'), 0);
}

} // namespace
} // namespace rf
