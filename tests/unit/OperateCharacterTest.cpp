#include "core/OperateCharacter.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

std::string Repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

const std::string kZhong = "\xE4\xB8\xAD"; // U+4E2D, three bytes

TEST(Utf8Prefix, ElevenCjkCharactersCutAt32BytesGiveTen) {
    const std::string sent = Repeat(kZhong, 11).substr(0, 32);
    std::string out;
    ASSERT_TRUE(COperateCharacter::GetUtf8Prefix(sent, out));
    EXPECT_EQ(out, Repeat(kZhong, 10));
    std::string local;
    ASSERT_TRUE(COperateCharacter::DeviceTextToLocal(sent, local));
    EXPECT_EQ(local, Repeat(kZhong, 10));
}

TEST(Utf8Prefix, TwoByteCharactersAreKept) {
    std::string out;
    ASSERT_TRUE(COperateCharacter::GetUtf8Prefix("Caf\xC3\xA9-North", out));
    EXPECT_EQ(out, "Caf\xC3\xA9-North");
    std::string local;
    ASSERT_TRUE(COperateCharacter::DeviceTextToLocal("Caf\xC3\xA9-North", local));
    EXPECT_EQ(local, "Caf\xC3\xA9-North");
    // A name cut inside a two-byte character loses only that character.
    ASSERT_TRUE(COperateCharacter::DeviceTextToLocal("Caf\xC3", local));
    EXPECT_EQ(local, "Caf");
}

TEST(Utf8Prefix, BrokenSequencesStopTheScan) {
    std::string out = "untouched";
    EXPECT_FALSE(COperateCharacter::GetUtf8Prefix("\x80\x41", out));
    EXPECT_FALSE(COperateCharacter::GetUtf8Prefix("A", out));
    EXPECT_EQ(out, "untouched");
    ASSERT_TRUE(COperateCharacter::GetUtf8Prefix("AB\xE4\xB8\x41", out));
    EXPECT_EQ(out, "AB");
    ASSERT_TRUE(COperateCharacter::GetUtf8Prefix("ab\xC0\x80", out)) << "overlong forms are not characters";
    EXPECT_EQ(out, "ab");
}

TEST(DeviceText, AsciiPassesAndGarbageBecomesReplacementCharacters) {
    std::string local;
    ASSERT_TRUE(COperateCharacter::DeviceTextToLocal("Tower-7 'north'", local));
    EXPECT_EQ(local, "Tower-7 'north'");
    ASSERT_TRUE(COperateCharacter::DeviceTextToLocal("\xFF\xFE", local));
    EXPECT_EQ(local, "\xEF\xBF\xBD\xEF\xBF\xBD") << "never hands invalid UTF-8 to the store";
}

TEST(DeviceText, CjkNamesAreSentAsUtf8AndOthersUnchanged) {
    std::string out;
    ASSERT_TRUE(COperateCharacter::LocalTextToDevice(kZhong + "AB", out));
    EXPECT_EQ(out, kZhong + "AB");
    ASSERT_TRUE(COperateCharacter::LocalTextToDevice("Caf\xC3\xA9", out));
    EXPECT_EQ(out, "Caf\xC3\xA9");
    EXPECT_EQ(COperateCharacter::CountCjk(kZhong + "x" + kZhong + "\xE3\x80\x80"), 2u)
        << "U+3000 is no ideograph";
    EXPECT_EQ(COperateCharacter::CountCjk("\xE9\xBE\xA5"), 1u) << "U+9FA5 is the last counted";
    EXPECT_EQ(COperateCharacter::CountCjk("\xE9\xBE\xA6"), 0u);
}

TEST(TextHelpers, HexAndAscii) {
    EXPECT_TRUE(IsHexText("0123456789abcdefABCDEF"));
    EXPECT_FALSE(IsHexText("12g4"));
    EXPECT_TRUE(IsHexText(""));
    EXPECT_TRUE(IsAsciiText("any ~ printable\x7F"));
    EXPECT_FALSE(IsAsciiText("Caf\xC3\xA9"));
}

TEST(TextHelpers, TruncateToByteBudgetCountsIdeographsAsThree) {
    EXPECT_EQ(TruncateToByteBudget(Repeat(kZhong, 10) + "abcde", 32), Repeat(kZhong, 10) + "ab");
    EXPECT_EQ(TruncateToByteBudget(Repeat(kZhong, 11), 32), Repeat(kZhong, 10));
    EXPECT_EQ(TruncateToByteBudget("Caf\xC3\xA9", 4), "Caf\xC3\xA9") << "an accented letter counts 1";
    EXPECT_EQ(TruncateToByteBudget("abc", 0), "");
}

} // namespace
} // namespace rf
