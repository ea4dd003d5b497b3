// The program's shell started twice over one view file: what the user arranged in the first run comes back
// in the second, and a damaged file gives the defaults.
#include "app/ApplicationDlg.h"
#include "app/MenuDlg.h"
#include "app/ProgramPages.h"
#include "app/ViewKeeper.h"
#include "core/ViewFile.h"
#include "pages/DeviceListLayout.h"
#include "shell/PageIds.h"
#include "support/AppHarness.h"
#include "support/TempDir.h"
#include "ui/FileDialog.h"
#include "ui/GridCtrl.h"
#include "ui/TButtonPicture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace rf {
namespace {

// One start of the shell as the program makes it: the kept view read, every page of the program, the
// window shown; at the end the view is written as at exit.
struct Start {
    explicit Start(const test::AppHarness& h, std::uint16_t language = 0)
        : view(ViewFilePath()), window(h.context, MakeProgramPages(StartupOptions{})) {
        languageId = view.LanguageId(language);
        view.Attach(window);
        view.Show(false);
    }
    ~Start() { view.Save(); }

    QWidget* Page(int pageId) const {
        return window.findChild<QWidget*>(QStringLiteral("page%1").arg(pageId));
    }
    QComboBox* PageSize(int pageId) const {
        return Page(pageId)->findChild<QComboBox*>(QStringLiteral("pageSize"));
    }
    CGridCtrl* Grid(int pageId) const {
        return Page(pageId)->findChild<CGridCtrl*>(QStringLiteral("deviceGrid"));
    }
    void ClickMenu(int pageId) {
        QTest::mouseClick(window.findChild<CTButtonPicture*>(QStringLiteral("menu%1").arg(pageId)),
                          Qt::LeftButton);
    }

    CViewKeeper view;
    CApplicationDlg window;
    std::uint16_t languageId = 0;
};

void ClickHeader(CGridCtrl& grid, int column) {
    QHeaderView& header = *grid.horizontalHeader();
    const QPoint centre(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                        header.height() / 2);
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, centre);
}

TEST(RememberedView, ASecondStartShowsWhatTheFirstLeftAndADamagedFileGivesTheDefaults) {
    const test::TempDir config;
    ASSERT_EQ(::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1), 0);
    test::AppHarness h;
    const DeviceListLayout& columns = DeviceListLayoutOf(kPageManagement);
    const int mac = columns.ColumnOf(kFieldMac);
    const int ssid = columns.ColumnOf(kFieldSsid);
    const QSize size(CApplicationDlg::kWidth + 120, CApplicationDlg::kHeight + 60);
    {
        Start first(h, 2052);
        first.ClickMenu(kPageManagement);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first.window));
        first.PageSize(kPageManagement)->setCurrentIndex(first.PageSize(kPageManagement)->findData(50));
        ClickHeader(*first.Grid(kPageManagement), mac);
        ASSERT_EQ(first.Grid(kPageManagement)->SortColumn(), mac);
        ASSERT_TRUE(first.Grid(kPageManagement)->SortAscending())
            << "the first click on a header sorts ascending";
        first.Grid(kPageManagement)
            ->horizontalHeader()
            ->resizeSection(ssid, 333); // where a drag of its edge ends
        first.window.resize(size);
        FileDialog::setNextFileName(QString::fromStdString(config.Dir() + "image.bin"));
        FileDialog::getOpenFileName(&first.window, QString(), FileDialog::Kind::Firmware, QString());
    }
    {
        const Start second(h);
        EXPECT_EQ(second.languageId, 2052) << "the language chosen last time, with none given";
        EXPECT_EQ(second.window.Pages()->CurrentPageId(), kPageManagement);
        EXPECT_TRUE(second.window.Menu()->Button(kPageManagement)->IsSelected());
        EXPECT_EQ(second.window.size(), size);
        EXPECT_EQ(second.PageSize(kPageManagement)->currentData().toInt(), 50);
        QTRY_COMPARE(second.Grid(kPageManagement)->SortColumn(), mac); // once the shown list reloads
        EXPECT_TRUE(second.Grid(kPageManagement)->SortAscending());
        EXPECT_EQ(second.Grid(kPageManagement)->GetColumnWidth(ssid), 333);
        EXPECT_EQ(second.PageSize(kPageStatus)->currentData().toInt(), 30) << "other lists keep their own";
        EXPECT_EQ(DialogStartFolder(second.view.State().folders, true, "/"), config.Path().string());
    }

    config.Write("radiofleet/view.ini", std::string("[Window]\nWidth=\x01\xff\n", 18));
    testing::internal::CaptureStderr();
    const Start damaged(h);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("view.ini is damaged"), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_EQ(damaged.window.Pages()->CurrentPageId(), kPageStatus);
    EXPECT_EQ(damaged.window.size(), QSize(CApplicationDlg::kWidth, CApplicationDlg::kHeight));
    EXPECT_EQ(damaged.PageSize(kPageManagement)->currentData().toInt(), 30);
    EXPECT_NE(damaged.Grid(kPageManagement)->GetColumnWidth(ssid), 333);
    EXPECT_EQ(damaged.languageId, 0);
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace rf
