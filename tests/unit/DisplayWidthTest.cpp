#include "core/DisplayWidth.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(DisplayWidth, WideCharactersTakeTwoColumnsAndCombiningMarksNone) {
    EXPECT_EQ(DisplayWidth(""), 0u);
    EXPECT_EQ(DisplayWidth("Mast 7"), 6u);
    EXPECT_EQ(DisplayWidth("北京站1号"), 9u);          // four ideographs and a digit
    EXPECT_EQ(DisplayWidth("タワー"), 6u);             // katakana
    EXPECT_EQ(DisplayWidth("기지국"), 6u);             // Hangul syllables
    EXPECT_EQ(DisplayWidth("ＡＢ"), 4u);               // full-width forms
    EXPECT_EQ(DisplayWidth("，"), 2u);                 // full-width comma
    EXPECT_EQ(DisplayWidth("e\xcc\x81t\xc3\xa9"), 3u); // e + combining acute, t, precomposed é
    EXPECT_EQ(DisplayWidth("a\xe2\x80\x8b"
                           "b"),
              2u);                                   // zero-width space
    EXPECT_EQ(DisplayWidth("\xf0\xa0\x80\x80"), 2u); // an ideograph beyond the first plane
    EXPECT_EQ(DisplayWidth("x\xff\xe5\x8c"), 4u);    // each broken byte one column
    EXPECT_EQ(CharacterWidth(U'\u303F'), 1);         // between the wide ranges
    EXPECT_EQ(CharacterWidth(U'\u3099'), 0);
    EXPECT_EQ(CharacterWidth(U'\uFFFD'), 1);
}

} // namespace
} // namespace rf
