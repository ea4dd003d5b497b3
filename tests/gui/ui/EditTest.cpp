#include "ui/TEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace rf {
namespace {

class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit_.setObjectName(QStringLiteral("edit"));
        edit_.show();
        edit_.setFocus();
    }
    void Paste() { QTest::keyClick(&edit_, Qt::Key_V, Qt::ControlModifier); }

    CTEdit edit_;
};

TEST_F(EditTest, DigitsOnlyRefusesLettersButTakesBackspaceAndPaste) {
    edit_.SetMode(CharMode::Digits);
    QTest::keyClicks(&edit_, QStringLiteral("12a3"));
    EXPECT_EQ(edit_.text(), QStringLiteral("123"));
    QTest::keyClick(&edit_, Qt::Key_Backspace);
    EXPECT_EQ(edit_.text(), QStringLiteral("12"));

    QGuiApplication::clipboard()->setText(QStringLiteral("4567"));
    Paste();
    EXPECT_EQ(edit_.text(), QStringLiteral("124567"));

    QGuiApplication::clipboard()->setText(QStringLiteral("8x9"));
    Paste();
    EXPECT_EQ(edit_.text(), QStringLiteral("12456789")) << "pasted letters are filtered out";
}

TEST_F(EditTest, LetterModesAndForbiddenCharacters) {
    edit_.SetMode(CharMode::LettersAndDigits);
    edit_.SetForbiddenChars(QStringLiteral("q"));
    QTest::keyClicks(&edit_, QStringLiteral("ab-1 q2"));
    EXPECT_EQ(edit_.text(), QStringLiteral("ab12"));

    edit_.clear();
    edit_.SetMode(CharMode::Any);
    edit_.SetForbiddenChars(QStringLiteral("\"'"));
    QTest::keyClicks(&edit_, QStringLiteral("my \"ap\" 1"));
    EXPECT_EQ(edit_.text(), QStringLiteral("my ap 1"));
}

TEST_F(EditTest, ClipboardLockBlocksPasteCopyAndTheContextMenu) {
    edit_.SetClipboardLock(true);
    QTest::keyClicks(&edit_, QStringLiteral("secret"));
    EXPECT_EQ(edit_.text(), QStringLiteral("secret"));
    EXPECT_EQ(edit_.contextMenuPolicy(), Qt::NoContextMenu);

    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    Paste();
    EXPECT_EQ(edit_.text(), QStringLiteral("secret"));

    edit_.selectAll();
    QTest::keyClick(&edit_, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&edit_, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("pasted")) << "nothing copied or cut";
    EXPECT_EQ(edit_.text(), QStringLiteral("secret"));

    edit_.SetClipboardLock(false);
    Paste();
    EXPECT_EQ(edit_.text(), QStringLiteral("pasted"));
}

TEST_F(EditTest, TypedTextStaysVisibleOverTheDecoration) {
    edit_.resize(120, 24);
    QTest::keyClicks(&edit_, QStringLiteral("8888"));
    const QImage shot = edit_.grab().toImage();
    EXPECT_EQ(shot.pixelColor(60, 23), QColor(207, 207, 207)) << "line along the bottom";
    bool textDrawn = false;
    for (int x = 2; x < 40 && !textDrawn; ++x) {
        for (int y = 4; y < 20 && !textDrawn; ++y) {
            textDrawn = shot.pixelColor(x, y).lightness() < 120;
        }
    }
    EXPECT_TRUE(textDrawn);
}

} // namespace
} // namespace rf
