#include "ui/EditFilter.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(EditFilter, ModesAcceptTheirCharacters) {
    const EditFilter digits{CharMode::Digits, U"", false};
    EXPECT_TRUE(AcceptsTypedChar(digits, U'0'));
    EXPECT_TRUE(AcceptsTypedChar(digits, U'9'));
    EXPECT_FALSE(AcceptsTypedChar(digits, U'a'));
    EXPECT_FALSE(AcceptsTypedChar(digits, U'.'));
    EXPECT_FALSE(AcceptsTypedChar(digits, U'\u0663')) << "only ASCII digits";

    const EditFilter letters{CharMode::Letters, U"", false};
    EXPECT_TRUE(AcceptsTypedChar(letters, U'a'));
    EXPECT_TRUE(AcceptsTypedChar(letters, U'Z'));
    EXPECT_FALSE(AcceptsTypedChar(letters, U'5'));
    EXPECT_FALSE(AcceptsTypedChar(letters, U'\u00e9'));

    const EditFilter both{CharMode::LettersAndDigits, U"", false};
    EXPECT_TRUE(AcceptsTypedChar(both, U'q'));
    EXPECT_TRUE(AcceptsTypedChar(both, U'7'));
    EXPECT_FALSE(AcceptsTypedChar(both, U'-'));

    const EditFilter any{CharMode::Any, U"", false};
    EXPECT_TRUE(AcceptsTypedChar(any, U'-'));
    EXPECT_TRUE(AcceptsTypedChar(any, U'\u4e2d'));
}

TEST(EditFilter, BackspaceAndClipboardControlsPassAnyModeUnlessLocked) {
    for (const CharMode mode : {CharMode::Digits, CharMode::Letters, CharMode::LettersAndDigits}) {
        const EditFilter open{mode, U"", false};
        EXPECT_TRUE(AcceptsTypedChar(open, kBackspace));
        for (const char32_t control : {kCtrlCopy, kCtrlPaste, kCtrlCut, kCtrlUndo}) {
            EXPECT_TRUE(AcceptsTypedChar(open, control));
        }
        EXPECT_FALSE(AcceptsTypedChar(open, char32_t{1})) << "other control characters are refused";

        const EditFilter locked{mode, U"", true};
        EXPECT_TRUE(AcceptsTypedChar(locked, kBackspace));
        for (const char32_t control : {kCtrlCopy, kCtrlPaste, kCtrlCut, kCtrlUndo}) {
            EXPECT_FALSE(AcceptsTypedChar(locked, control));
        }
    }
    EXPECT_FALSE(AcceptsTypedChar({CharMode::Any, U"", true}, kCtrlPaste));
}

TEST(EditFilter, ForbiddenCharactersAreDroppedInEveryMode) {
    const EditFilter names{CharMode::Any, U"\\\"'", false};
    EXPECT_FALSE(AcceptsTypedChar(names, U'\\'));
    EXPECT_FALSE(AcceptsTypedChar(names, U'"'));
    EXPECT_FALSE(AcceptsTypedChar(names, U'\''));
    EXPECT_TRUE(AcceptsTypedChar(names, U'x'));
    const EditFilter noSeven{CharMode::Digits, U"7", false};
    EXPECT_FALSE(AcceptsTypedChar(noSeven, U'7'));
    EXPECT_TRUE(AcceptsTypedChar(noSeven, U'8'));
}

TEST(EditFilter, PastedCharactersFollowTheModeAndTheForbiddenList) {
    const EditFilter digits{CharMode::Digits, U"5", false};
    EXPECT_TRUE(AcceptsInsertedChar(digits, U'1'));
    EXPECT_FALSE(AcceptsInsertedChar(digits, U'a'));
    EXPECT_FALSE(AcceptsInsertedChar(digits, U'5'));
    EXPECT_FALSE(AcceptsInsertedChar(digits, kCtrlPaste));
}

} // namespace
} // namespace rf
