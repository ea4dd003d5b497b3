#include "app/ApplicationDlg.h"
#include "app/InstallHelpDlg.h"
#include "app/MenuDlg.h"
#include "app/ScrollBitmapWnd.h"
#include "app/WaitDlg.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "support/AppHarness.h"
#include "ui/TButtonPicture.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace rf {
namespace {

class AppShell : public ::testing::Test {
protected:
    PageFactory Counting() {
        return [this](int id, const PageContext&, QWidget* parent) -> CPage* {
            auto* page = new test::CountingPage(id, parent);
            pages[id] = page;
            return page;
        };
    }
    test::CountingPage* Shown(const CApplicationDlg& window) {
        return pages[window.Pages()->CurrentPageId()];
    }

    test::AppHarness h;
    std::map<int, test::CountingPage*> pages;
};

TEST_F(AppShell, EnterAndEscapeLeaveTheMainWindowOpen) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(window.Pages(), Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("RadioFleet"));
}

TEST_F(AppShell, MenuButtonShowsItsPageAndReloadsItsListShortlyAfter) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    EXPECT_EQ(window.Pages()->CurrentPageId(), kPageStatus);
    QTRY_COMPARE(pages[kPageStatus]->refreshes, 1);

    auto* button = window.findChild<CTButtonPicture*>(QStringLiteral("menu%1").arg(kPageReboot));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(window.Pages()->CurrentPageId(), kPageReboot);
    EXPECT_TRUE(pages[kPageReboot]->isVisible());
    EXPECT_FALSE(pages[kPageStatus]->isVisible());
    EXPECT_TRUE(button->IsSelected());
    EXPECT_FALSE(window.Menu()->Button(kPageStatus)->IsSelected());
    EXPECT_EQ(pages[kPageReboot]->refreshes, 0) << "not at once";
    QTRY_COMPARE_WITH_TIMEOUT(pages[kPageReboot]->refreshes, 1, 1000);

    QTest::mouseClick(window.Menu()->Button(kPageSystemTool), Qt::LeftButton);
    QTest::qWait(CChildDlg::kSwitchDelayMs * 3);
    EXPECT_EQ(pages[kPageSystemTool]->refreshes, 0) << "pages without a list are not refreshed";
}

TEST_F(AppShell, PeriodicRefreshSkipsTheBatchPagesAndRespectsTheFlag) {
    CApplicationDlg window(h.context, Counting());
    CChildDlg& container = *window.Pages();
    EXPECT_EQ(container.RefreshTimer().interval(), 30000);
    EXPECT_TRUE(container.RefreshTimer().isActive());
    for (const int id : kMenuPages) {
        container.ShowPage(id);
        container.SwitchTimer().stop();
        const int before = pages[id]->refreshes;
        container.OnRefreshTimer();
        const bool expected = id == kPageStatus || id == kPageManagement || id == kPageBridge;
        EXPECT_EQ(pages[id]->refreshes - before, expected ? 1 : 0) << "page " << id;
    }
    container.ShowPage(kPageStatus);
    container.SetAutoRefresh(false);
    const int before = pages[kPageStatus]->refreshes;
    container.OnRefreshTimer();
    EXPECT_EQ(pages[kPageStatus]->refreshes, before) << "a page's own long operation turns it off";
}

TEST_F(AppShell, PageNumbersGoToTheirPage) {
    CApplicationDlg window(h.context, Counting());
    window.Pages()->OnPageNumber(kPageManagement, 2);
    EXPECT_EQ(pages[kPageManagement]->shownPage, 2);
    window.Pages()->OnPageNumber(kPageInstallHelp, 3);
    EXPECT_EQ(pages[kPageInstallHelp]->shownPage, 0);
}

TEST_F(AppShell, HelpAndTrayMenusAreTranslatedAndOpenTheirPages) {
    CApplicationDlg window(h.context, Counting());
    QStringList texts;
    for (QAction* action : window.HelpMenu()->actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Product"), QStringLiteral("Support"),
                                  QStringLiteral("Contact Us"), QStringLiteral("Help")}));
    std::vector<QUrl> opened;
    SetBrowserOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    window.HelpMenu()->actions().at(3)->trigger();
    SetBrowserOpener([](const QUrl&) { return true; });
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(QFileInfo::exists(opened[0].toLocalFile())) << opened[0].toString().toStdString();
    EXPECT_FALSE(window.TrayMenu()->actions().isEmpty());
}

TEST_F(AppShell, MinimiseWithoutATrayKeepsTheWindowReachable) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    window.Menu()->SelectPage(kPageRestore);
    window.MinimiseToTray();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_TRUE(window.isMinimized() || window.isVisible()) << "never hidden with no tray to return from";
    }
    window.ShowFromTray();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Pages()->CurrentPageId(), kPageRestore) << "comes back with the page it showed";
}

TEST_F(AppShell, WaitDialogSearchesNearItsEndAndCloses) {
    CWaitDlg wait(h.engine.engine, h.skin, 60, true, 3);
    wait.Timer().stop();
    h.engine.sender->Clear();
    for (int tick = 2; tick < 108; ++tick) {
        wait.OnTick();
    }
    EXPECT_TRUE(h.engine.sender->SearchTargets().empty());
    wait.OnTick(); // 108
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), 1u);
    for (int tick = 109; tick < 120; ++tick) {
        wait.OnTick();
    }
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), 2u);
    EXPECT_EQ(wait.result(), 0);
    wait.OnTick(); // 120
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), 3u);
    EXPECT_EQ(wait.result(), QDialog::Accepted);
    EXPECT_EQ(wait.Progress(), 120);
}

TEST_F(AppShell, InstallHelpPictureScrolls) {
    CInstallHelpDlg page(h.pageContext, nullptr);
    page.resize(400, 300);
    page.show();
    CScrollBitmapWnd* picture = page.Picture();
    ASSERT_FALSE(picture->PictureSize().isEmpty()) << "the help picture loads";
    QTest::keyClick(picture, Qt::Key_Down);
    EXPECT_EQ(picture->Offset().y(), CScrollBitmapWnd::kLineStep);
    QTest::keyClick(picture, Qt::Key_End);
    QTest::keyClick(picture, Qt::Key_Down);
    EXPECT_LE(picture->Offset().y(), picture->PictureSize().height());
}

} // namespace
} // namespace rf
