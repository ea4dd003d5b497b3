#include "WidgetEvents.h"
#include "ui/TMultiPages.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace rf {
namespace {

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list << QString::fromUtf8(t);
    }
    return list;
}

class MultiPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        strip_.setObjectName(QStringLiteral("pages"));
        strip_.resize(420, 40);
        strip_.Init(133);
        strip_.SetPageCount(20);
        strip_.show();
    }
    int IndexOf(const QString& text) const { return static_cast<int>(strip_.SlotTexts().indexOf(text)); }
    void Click(const QString& text) {
        QTest::mouseClick(&strip_, Qt::LeftButton, {}, strip_.SlotRectangle(IndexOf(text)).center());
    }

    CTMultiPages strip_;
};

TEST_F(MultiPagesTest, SlotsFollowTheCurrentPage) {
    strip_.SetCurrentPage(10);
    EXPECT_EQ(strip_.SlotTexts(), Texts({"1", "...", "9", "10", "11", "...", "20"}));
    strip_.SetCurrentPage(3);
    EXPECT_EQ(strip_.SlotTexts(), Texts({"1", "2", "3", "4", "5", "...", "20"}));
    strip_.SetCurrentPage(18);
    EXPECT_EQ(strip_.SlotTexts(), Texts({"1", "...", "16", "17", "18", "19", "20"}));
    strip_.SetPageCount(3);
    EXPECT_EQ(strip_.SlotTexts(), Texts({"1", "2", "3"}));
    strip_.Init(134);
    EXPECT_EQ(strip_.CurrentPage(), 1);
    EXPECT_TRUE(strip_.SlotTexts().isEmpty());
}

TEST_F(MultiPagesTest, SlotsAreCentredInARowOf24PixelHighBoxes) {
    strip_.SetCurrentPage(10);
    const QRect first = strip_.SlotRectangle(0);
    const QRect last = strip_.SlotRectangle(6);
    EXPECT_EQ(first.height(), 24);
    EXPECT_EQ(first.top(), 8);
    EXPECT_EQ(first.width(), 32) << "narrow numbers get 32 pixels";
    EXPECT_NEAR(first.left(), strip_.width() - (last.right() + 1), 1) << "centred";
    EXPECT_EQ(strip_.SlotRectangle(1).left() - (first.right() + 1), 3);
}

TEST_F(MultiPagesTest, OnlyAnotherPageNumberIsReported) {
    strip_.SetCurrentPage(10);
    QSignalSpy picked(&strip_, &CTMultiPages::pagePicked);

    Click(QStringLiteral("10"));
    Click(QStringLiteral("..."));
    EXPECT_EQ(picked.count(), 0) << "the current page and \"...\" send nothing";
    EXPECT_EQ(strip_.CurrentPage(), 10);

    Click(QStringLiteral("11"));
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toInt(), 133);
    EXPECT_EQ(picked.at(0).at(1).toInt(), 11);
    EXPECT_EQ(strip_.CurrentPage(), 11);
    EXPECT_EQ(strip_.SlotTexts(), Texts({"1", "...", "10", "11", "12", "...", "20"}));

    Click(QStringLiteral("20"));
    ASSERT_EQ(picked.count(), 2);
    EXPECT_EQ(picked.at(1).at(1).toInt(), 20);
}

TEST_F(MultiPagesTest, PressAndReleaseMustHitTheSameSlot) {
    strip_.SetCurrentPage(10);
    QSignalSpy picked(&strip_, &CTMultiPages::pagePicked);
    QTest::mousePress(&strip_, Qt::LeftButton, {},
                      strip_.SlotRectangle(IndexOf(QStringLiteral("9"))).center());
    QTest::mouseRelease(&strip_, Qt::LeftButton, {},
                        strip_.SlotRectangle(IndexOf(QStringLiteral("11"))).center());
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(strip_.CurrentPage(), 10);
}

TEST_F(MultiPagesTest, HoverHighlightsAndTheHandMarksPickableSlots) {
    strip_.SetCurrentPage(10);
    const int nine = IndexOf(QStringLiteral("9"));
    test::MoveMouse(&strip_, strip_.SlotRectangle(nine).center());
    EXPECT_EQ(strip_.HoverSlot(), nine);
    EXPECT_EQ(strip_.cursor().shape(), Qt::PointingHandCursor);

    test::MoveMouse(&strip_, strip_.SlotRectangle(IndexOf(QStringLiteral("10"))).center());
    EXPECT_EQ(strip_.cursor().shape(), Qt::ArrowCursor) << "the current page";
    test::MoveMouse(&strip_, strip_.SlotRectangle(IndexOf(QStringLiteral("..."))).center());
    EXPECT_EQ(strip_.cursor().shape(), Qt::ArrowCursor);

    test::MoveMouse(&strip_, strip_.SlotRectangle(nine).center());
    const QImage shot = strip_.grab().toImage();
    const QPoint inside = strip_.SlotRectangle(nine).topLeft() + QPoint(3, 3);
    EXPECT_EQ(shot.pixelColor(inside), QColor(187, 187, 187)) << "hovered slot filled grey";
    EXPECT_EQ(shot.pixelColor(strip_.SlotRectangle(nine).topLeft()), QColor(136, 136, 136)) << "its frame";

    test::LeaveWidget(&strip_);
    EXPECT_EQ(strip_.HoverSlot(), -1);
    EXPECT_EQ(strip_.grab().toImage().pixelColor(inside), QColor(Qt::white));
}

} // namespace
} // namespace rf
