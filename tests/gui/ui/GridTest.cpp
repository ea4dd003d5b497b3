#include "WidgetEvents.h"
#include "core/Settings.h"
#include "support/TempDir.h"
#include "ui/GridCells.h"
#include "ui/GridCtrl.h"
#include "ui/GridHeader.h"
#include "ui/QtConvert.h"

#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace rf {
namespace {

constexpr int kColumns = 13;
constexpr int kDataRows = 30;

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_ = LoadSettings(RF_SOURCE_DIR "/bundle/");
        SetGlobalSettings(settings_);
        grid_.setObjectName(QStringLiteral("grid"));
        grid_.resize(1000, 600);
        ApplyGridSettings(settings_, grid_);
        grid_.SetColumnCount(kColumns);
        grid_.SetRowCount(kDataRows + 1);
        for (int column = 0; column < kColumns; ++column) {
            SetHeaderCell(settings_, grid_, column, column == 0 ? 20 : 70,
                          QStringLiteral("Col %1").arg(column));
        }
        grid_.SetCellCheckBox(0, 0);
        grid_.SetCellText(0, 0, QString());
        for (int row = 1; row <= kDataRows; ++row) {
            grid_.SetCellCheckBox(row, 0);
            for (int column = 1; column < kColumns; ++column) {
                SetNormalCell(settings_, grid_, row, column, QStringLiteral("%1.%2").arg(row).arg(column));
            }
        }
        grid_.show();
    }
    Settings settings_;
    QPoint Centre(int row, int column) const { return grid_.CellRect(row, column).center(); }
    QWidget* Viewport() const { return grid_.viewport(); }
    QWidget* HeaderViewport() const { return grid_.Header().viewport(); }

    CGridCtrl grid_;
};

TEST_F(GridTest, RowsAre48PixelsAndTheHeaderUsesTheHeaderLook) {
    const Settings& s = GlobalSettings();
    EXPECT_EQ(grid_.GetRowCount(), kDataRows + 1);
    EXPECT_EQ(grid_.GetColumnCount(), kColumns);
    for (int row = 1; row <= kDataRows; ++row) {
        EXPECT_EQ(grid_.GetRowHeight(row), 48) << row;
    }
    EXPECT_EQ(grid_.CellRect(2, 1).top() - grid_.CellRect(1, 1).top(), 48);
    EXPECT_EQ(grid_.GetColumnWidth(0), 20);
    EXPECT_EQ(grid_.GetColumnWidth(5), 70);

    const QFont header = grid_.GetCellFont(0, 3);
    EXPECT_EQ(header.pixelSize(), s.gridTitleFont.height);
    EXPECT_EQ(header.weight(), QFont::Bold);
    EXPECT_EQ(grid_.GetCellTextColour(0, 3), ToQColor(s.gridTitleTextColor));
    EXPECT_EQ(grid_.GetCellBackground(0, 3), ToQColor(s.gridTitleBkColor));
    EXPECT_EQ(grid_.GetCellFormat(0, 3), kFormatCentred);
    EXPECT_EQ(grid_.GetCellFont(4, 3).weight(), QFont::Normal);
    EXPECT_EQ(grid_.GetCellTextColour(4, 3), ToQColor(s.gridTextColor));

    const QImage header_shot = grid_.Header().grab().toImage();
    EXPECT_EQ(header_shot.pixelColor(grid_.CellRect(0, 3).topLeft() + QPoint(2, 2)),
              ToQColor(s.gridTitleBkColor));
}

TEST_F(GridTest, CellFillersUseTheirColours) {
    const Settings& s = GlobalSettings();
    SetOfflineCell(settings_, grid_, 2, 2, QStringLiteral("off"));
    SetOnlineCell(settings_, grid_, 3, 2, QStringLiteral("on"));
    EXPECT_EQ(grid_.GetCellTextColour(2, 2), ToQColor(s.textUnlineColor));
    EXPECT_EQ(grid_.GetCellTextColour(3, 2), ToQColor(s.textOnlineColor));
    EXPECT_EQ(grid_.GetCellText(3, 2), QStringLiteral("on"));

    grid_.SetCellBackground(5, 4, QColor(200, 10, 10));
    const QImage shot = Viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(grid_.CellRect(5, 4).topLeft() + QPoint(1, 1)), QColor(200, 10, 10));
    EXPECT_EQ(shot.pixelColor(grid_.CellRect(5, 5).topLeft() + QPoint(1, 1)), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(grid_.CellRect(5, 4).bottomRight()), ToQColor(s.lineColor)) << "grid line";
}

TEST_F(GridTest, ClickingATickCellAnywhereTogglesItAndReportsTheCell) {
    QSignalSpy clicked(&grid_, &CGridCtrl::cellClicked);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(3, 0));
    EXPECT_TRUE(grid_.IsChecked(3, 0));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 0);

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(3, 0));
    EXPECT_FALSE(grid_.IsChecked(3, 0));

    grid_.SetColumnWidth(0, 80);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, grid_.CellRect(4, 0).topLeft() + QPoint(3, 3));
    EXPECT_TRUE(grid_.IsChecked(4, 0)) << "a click beside the box, in its cell, ticks it too";
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, grid_.CellRect(4, 0).bottomRight() - QPoint(3, 3));
    EXPECT_FALSE(grid_.IsChecked(4, 0));

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(7, 5));
    ASSERT_EQ(clicked.count(), 5);
    EXPECT_EQ(clicked.at(4).at(0).toInt(), 7);
    EXPECT_EQ(clicked.at(4).at(1).toInt(), 5);
    EXPECT_FALSE(grid_.IsChecked(7, 5)) << "not a tick box";

    grid_.SetChecked(9, 0, true);
    EXPECT_TRUE(grid_.IsChecked(9, 0));
}

TEST_F(GridTest, ACutCellEndsInAnEllipsisAndItsTipKeepsTheWholeText) {
    const QString name = QStringLiteral("A very long location name that no column holds");
    SetNormalCell(settings_, grid_, 2, 3, name);
    const QString shown = grid_.ShownText(2, 3);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(name.startsWith(shown.chopped(1))) << "cut at its end, not in its middle";
    EXPECT_EQ(grid_.ToolTipText(2, 3), name);
    EXPECT_EQ(grid_.ShownText(2, 4), QStringLiteral("2.4")) << "a text that fits is drawn whole";

    grid_.SetColumnWidth(3, 600);
    EXPECT_EQ(grid_.ShownText(2, 3), name) << "a wide enough column shows it whole";
    EXPECT_TRUE(grid_.ToolTipText(2, 3).isEmpty());
}

TEST_F(GridTest, DraggingAHeaderEdgeWidensTheColumn) {
    const int before = grid_.GetColumnWidth(3);
    const QRect header = grid_.CellRect(0, 3);
    const QPoint edge(header.right(), header.center().y());
    QSignalSpy clicked(&grid_, &CGridCtrl::cellClicked);
    QTest::mousePress(HeaderViewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(HeaderViewport(), edge + QPoint(45, 0));
    QTest::mouseRelease(HeaderViewport(), Qt::LeftButton, {}, edge + QPoint(45, 0));
    EXPECT_EQ(grid_.GetColumnWidth(3), before + 45);
    EXPECT_EQ(clicked.count(), 0) << "a drag of the edge is no header click";
}

TEST_F(GridTest, HeaderClicksReportRowZeroAndTheColumn) {
    QSignalSpy clicked(&grid_, &CGridCtrl::cellClicked);
    QTest::mouseClick(HeaderViewport(), Qt::LeftButton, {}, Centre(0, 4));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 4);

    QTest::mouseClick(HeaderViewport(), Qt::LeftButton, {}, Centre(0, 0));
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(1).at(1).toInt(), 0);
    EXPECT_TRUE(grid_.IsChecked(0, 0)) << "the header's tick box";
    EXPECT_EQ(HeaderViewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(GridTest, TheRowUnderTheMouseIsHighlighted) {
    const QColor white(255, 255, 255);
    const QColor grey(242, 242, 242);
    test::MoveMouse(Viewport(), Centre(3, 5));
    EXPECT_EQ(grid_.HoverRow(), 3);
    for (int column = 0; column < kColumns; ++column) {
        EXPECT_EQ(grid_.GetCellBackground(3, column), grey) << column;
    }
    test::MoveMouse(Viewport(), Centre(4, 2));
    EXPECT_EQ(grid_.HoverRow(), 4);
    for (int column = 0; column < kColumns; ++column) {
        EXPECT_EQ(grid_.GetCellBackground(3, column), white) << column;
        EXPECT_EQ(grid_.GetCellBackground(4, column), grey) << column;
    }
    const QImage shot = Viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(grid_.CellRect(4, 8).topLeft() + QPoint(1, 1)), grey);
    EXPECT_EQ(shot.pixelColor(grid_.CellRect(3, 8).topLeft() + QPoint(1, 1)), white);

    test::LeaveWidget(Viewport());
    EXPECT_EQ(grid_.HoverRow(), -1);
    EXPECT_EQ(grid_.GetCellBackground(4, 1), white);
}

TEST_F(GridTest, HandColumnsAndHeaderShowTheHand) {
    grid_.AddHandColumn(2);
    grid_.AddHandColumn(2);
    grid_.AddHandColumn(12);
    EXPECT_EQ(grid_.HandColumns().size(), 2U);
    test::MoveMouse(Viewport(), Centre(2, 2));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::PointingHandCursor);
    test::MoveMouse(Viewport(), Centre(2, 3));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor);
    test::MoveMouse(Viewport(), Centre(5, 12));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(GridTest, CutTextShowsItsFullTextInATip) {
    const QString name = QStringLiteral("A very long device name that cannot fit");
    grid_.SetCellText(2, 3, name);
    EXPECT_EQ(grid_.ToolTipText(2, 3), name);
    EXPECT_TRUE(grid_.ToolTipText(2, 4).isEmpty()) << "short text fits";
    grid_.SetCellText(0, 5, QStringLiteral("Transparent bridge setting"));
    EXPECT_FALSE(grid_.ToolTipText(0, 5).isEmpty()) << "header cells too";

    QHelpEvent help(QEvent::ToolTip, Centre(2, 3), Viewport()->mapToGlobal(Centre(2, 3)));
    QApplication::sendEvent(Viewport(), &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), name);

    QHelpEvent other(QEvent::ToolTip, Centre(2, 4), Viewport()->mapToGlobal(Centre(2, 4)));
    QApplication::sendEvent(Viewport(), &other);
    QTRY_VERIFY(!QToolTip::isVisible());
}

TEST_F(GridTest, ItemDataImagesSelectionAndEmptying) {
    grid_.SetCellData(1, 1, 4);
    EXPECT_EQ(grid_.GetCellData(1, 1), 4);
    grid_.SetCellSelected(1, 1, true);
    EXPECT_TRUE(grid_.IsCellSelected(1, 1));
    EXPECT_FALSE(grid_.IsCellSelected(1, 2));

    QPixmap web(50, 16);
    web.fill(QColor(0, 90, 200));
    grid_.SetImageList({web});
    grid_.SetCellText(6, 12, QString());
    grid_.SetCellImage(6, 12, 0);
    EXPECT_EQ(grid_.GetCellImage(6, 12), 0);
    const QImage shot = Viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(Centre(6, 12)), QColor(0, 90, 200)) << "the image is drawn centred";

    EXPECT_FALSE(grid_.SetCellText(99, 1, QStringLiteral("x"))) << "outside the grid";
    EXPECT_TRUE(grid_.GetCellText(99, 1).isEmpty());

    grid_.DeleteDataRows();
    EXPECT_EQ(grid_.GetRowCount(), 1);
    EXPECT_EQ(grid_.GetCellText(0, 4), QStringLiteral("Col 4")) << "the header stays";
    grid_.SetRowCount(3);
    EXPECT_TRUE(grid_.GetCellText(1, 1).isEmpty()) << "new rows start empty";
    EXPECT_FALSE(grid_.IsCheckBox(1, 0));
}

TEST_F(GridTest, MaskedImagesMakeWhiteTransparent) {
    test::TempDir dir;
    QImage picture(50, 16, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixelColor(10, 8, QColor(0, 0, 255));
    const QString path = QString::fromStdString(dir.Dir() + "web.bmp");
    ASSERT_TRUE(picture.save(path));
    const QImage masked = CGridCtrl::LoadMaskedImage(path).toImage();
    ASSERT_FALSE(masked.isNull());
    EXPECT_EQ(masked.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(masked.pixelColor(10, 8), QColor(0, 0, 255));
    EXPECT_TRUE(CGridCtrl::LoadMaskedImage(QStringLiteral("/nonexistent.bmp")).isNull());
}

TEST_F(GridTest, SortMarkerAndFillingAThousandRows) {
    grid_.SetSortColumn(4, false);
    EXPECT_EQ(grid_.SortColumn(), 4);
    EXPECT_FALSE(grid_.SortAscending());

    grid_.DeleteDataRows();
    grid_.SetRowCount(1001);
    for (int row = 1; row <= 1000; ++row) {
        for (int column = 1; column < kColumns; ++column) {
            SetNormalCell(settings_, grid_, row, column, QString::number(row * 100 + column));
        }
    }
    EXPECT_EQ(grid_.GetCellText(1000, 12), QStringLiteral("100012"));
    EXPECT_EQ(grid_.GetRowHeight(1000), 48);
    grid_.scrollToBottom();
    EXPECT_TRUE(Viewport()->rect().contains(Centre(1000, 1))) << "the last row can be scrolled to";
}

} // namespace
} // namespace rf
