// The status page in the shell: the room it is given, its navigation and its web button without a browser.
#include "StatusFixture.h"

#include "support/RecordingNavigation.h"
#include "ui/TEdit.h"
#include "ui/TMultiPages.h"

namespace rf::test {
namespace {

// Data rows of the grid that are wholly in view.
int RowsInView(CGridCtrl& grid) {
    int rows = 0;
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        rows += grid.viewport()->rect().contains(grid.CellRect(row, kFieldMac)) ? 1 : 0;
    }
    return rows;
}

TEST_F(StatusPageTest, ALargerWindowShowsMoreRowsAndKeepsTheButtonsTopLeft) {
    for (int i = 1; i <= 30; ++i) {
        Store({.index = i});
    }
    List().Reload(1);
    ASSERT_EQ(Grid().GetRowCount(), 31);
    QTRY_VERIFY(RowsInView(Grid()) > 0);
    const int designed = RowsInView(Grid());
    const QRect search = page->SearchButton()->geometry();
    const int gridWidth = Grid().width();

    window.resize(1500, 1100);
    QTRY_VERIFY(RowsInView(Grid()) >= designed + 8);
    EXPECT_GT(Grid().width(), gridWidth + 400) << "the grid takes the width too";
    EXPECT_EQ(page->SearchButton()->geometry(), search) << "the buttons stay at the top left";
    EXPECT_GT(List().Filter()->geometry().right(), page->width() - 20) << "the filter keeps to the right";
    EXPECT_GT(List().OnlineLabel()->geometry().bottom(), Grid().geometry().bottom()) << "the bar stays below";
}

TEST_F(StatusPageTest, TheWebButtonWithoutABrowserShowsTheAddressToCopy) {
    Store({.index = 1});
    List().Reload(1);
    SetBrowserOpener([](const QUrl&) { return false; });
    const int before = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    Q_EMIT Grid().cellClicked(1, kFieldOperate);
    ASSERT_EQ(MessageBox::count(), before + 1);
    EXPECT_TRUE(MessageBox::lastText().contains(QStringLiteral("http://%1/").arg(ToQString(IpOf(1)))))
        << MessageBox::lastText().toStdString();
}

TEST(StatusPageAlone, ReachesMenuRefreshAndPageNumbersThroughItsNavigation) {
    AppHarness h;
    CStatusDlg page(h.pageContext, nullptr);
    page.OnSearchClicked();
    EXPECT_FALSE(h.navigation.menuEnabled) << "no page switch during a search";
    EXPECT_FALSE(h.navigation.autoRefresh);
    page.OnSearchClicked();
    EXPECT_TRUE(h.navigation.menuEnabled);
    EXPECT_TRUE(h.navigation.autoRefresh);

    Q_EMIT page.List().Strip()->pagePicked(kPageStatus, 2);
    ASSERT_EQ(h.navigation.listPages.size(), 1u);
    EXPECT_EQ(h.navigation.listPages[0], std::make_pair(int{kPageStatus}, 2));
}

} // namespace
} // namespace rf::test
