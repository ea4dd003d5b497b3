#include "app/AppLook.h"
#include "app/ApplicationApp.h"
#include "app/ApplicationDlg.h"
#include "app/InstallHelpDlg.h"
#include "app/MenuDlg.h"
#include "app/ScrollBitmapWnd.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "shell/WaitDlg.h"
#include "support/AppHarness.h"
#include "ui/MessageBox.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/TextPlacement.h"

#include "support/LabRequirement.h"
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QTest>
#include <QTranslator>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

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
    EXPECT_TRUE(window.Pages()->SwitchTimer().isActive());
    QTRY_VERIFY(!window.Pages()->SwitchTimer().isActive()); // the switch has been handled
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

TEST_F(AppShell, InstallHelpPictureFitsTheWidthAndScrolls) {
    CInstallHelpDlg page(h.pageContext, nullptr);
    page.resize(400, 300);
    page.show();
    CScrollBitmapWnd* picture = page.Picture();
    ASSERT_FALSE(picture->PictureSize().isEmpty()) << "the help picture loads";
    ASSERT_GT(picture->PictureSize().width(), picture->viewport()->width())
        << "a page narrower than the picture";
    EXPECT_LE(picture->ShownSize().width(), picture->viewport()->width()) << "nothing cut on the right";
    const auto ratio = [](QSize size) { return static_cast<double>(size.height()) / size.width(); };
    EXPECT_NEAR(ratio(picture->ShownSize()), ratio(picture->PictureSize()), 0.02) << "scaled, not squeezed";
    QTest::keyClick(picture, Qt::Key_Down);
    EXPECT_EQ(picture->Offset().y(), CScrollBitmapWnd::kLineStep);
    QTest::keyClick(picture, Qt::Key_End);
    QTest::keyClick(picture, Qt::Key_Down);
    EXPECT_LE(picture->Offset().y(), picture->PictureSize().height());
}

TEST_F(AppShell, TheWindowGrowsBeyondItsDesignedSizeButNeverBelowIt) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.minimumSize(), QSize(CApplicationDlg::kWidth, CApplicationDlg::kHeight));
    window.resize(800, 500);
    EXPECT_EQ(window.size(), QSize(CApplicationDlg::kWidth, CApplicationDlg::kHeight));
    const QSize designedPages = window.Pages()->size();

    window.resize(1600, 1000);
    QTRY_COMPARE(window.Pages()->size(), designedPages + QSize(600, 320));
    EXPECT_EQ(window.Pages()->geometry().bottomRight(), window.rect().bottomRight())
        << "the page area takes the room";
    EXPECT_EQ(window.Menu()->geometry().bottom(), window.rect().bottom())
        << "the menu column reaches the foot";
    EXPECT_EQ(window.Menu()->width(), CMenuDlg::kWidth);
    EXPECT_EQ(pages[kPageStatus]->size(), window.Pages()->size()) << "the pages follow their container";
    auto* version = window.Menu()->findChild<CTStatic*>(QStringLiteral("versionLabel"));
    ASSERT_NE(version, nullptr);
    EXPECT_GT(version->y(), window.Menu()->height() - 40) << "the version label stays at the foot";
    auto* close = window.findChild<CTButtonPicture*>(QStringLiteral("closeButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_GT(close->geometry().right(), window.width() - 5) << "the title buttons keep to the corner";
}

TEST_F(AppShell, ADoubleClickOnTheFreeSurfaceAndTheMaximiseButtonToggleBothWays) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint free(600, 50);
    ASSERT_EQ(window.childAt(free), nullptr) << "a spot without a control";
    QTest::mouseDClick(&window, Qt::LeftButton, {}, free);
    QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
    QTest::mousePress(&window, Qt::LeftButton, {}, free); // the first press of a double click
    QTest::mouseRelease(&window, Qt::LeftButton, {}, free);
    QTest::mouseDClick(&window, Qt::LeftButton, {}, free);
    QTRY_VERIFY(!(window.windowState() & Qt::WindowMaximized));

    auto* maximise = window.findChild<CTButtonPicture*>(QStringLiteral("maxButton"));
    ASSERT_NE(maximise, nullptr);
    const QImage restored = maximise->Image(CTButtonPicture::Normal).toImage();
    QTest::mouseClick(maximise, Qt::LeftButton);
    QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
    EXPECT_NE(maximise->Image(CTButtonPicture::Normal).toImage(), restored) << "the button shows restore now";
    QTest::mouseClick(maximise, Qt::LeftButton);
    QTRY_VERIFY(!(window.windowState() & Qt::WindowMaximized));
    EXPECT_EQ(maximise->Image(CTButtonPicture::Normal).toImage(), restored);
}

TEST_F(AppShell, MenuButtonTextsAreCentred) {
    CApplicationDlg window(h.context, Counting());
    for (const int id : kMenuPages) {
        const CTButtonPicture* button = window.Menu()->Button(id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Alignment(), kAlignCentre) << "page " << id;
        EXPECT_EQ(button->Margin(), CMenuDlg::kTextMargin) << "page " << id;
    }
}

TEST_F(AppShell, EnterAndEscapeDoNotEndTheWait) {
    CWaitDlg wait(h.engine.engine, h.skin, 60, true, 3);
    wait.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wait));
    QTest::keyClick(&wait, Qt::Key_Escape);
    QTest::keyClick(&wait, Qt::Key_Return);
    EXPECT_TRUE(wait.isVisible());
    EXPECT_EQ(wait.result(), 0);
    EXPECT_TRUE(wait.Timer().isActive()) << "its searches at the end still run";
}

TEST_F(AppShell, OnlyAHeldButtonDragsTheWindow) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint free(600, 50);
    const QPoint start = window.pos();
    QTest::mousePress(&window, Qt::LeftButton, {}, free);
    // The window manager swallowed the release: the next move comes with no button held.
    const QPoint away = free + QPoint(120, 80);
    QMouseEvent loose(QEvent::MouseMove, away, window.mapToGlobal(away), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&window, &loose);
    EXPECT_EQ(window.pos(), start) << "the window does not follow a free pointer";
    QTest::mouseRelease(&window, Qt::LeftButton, {}, free);

    QTest::mousePress(&window, Qt::LeftButton, {}, free);
    QMouseEvent held(QEvent::MouseMove, away, window.mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&window, &held);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, away);
    QTRY_COMPARE(window.pos(), start + QPoint(120, 80));
}

TEST_F(AppShell, ASingleClickOnTheTrayIconShowsTheWindow) {
    CApplicationDlg window(h.context, Counting());
    window.show();
    window.hide();
    window.OnTrayActivated(QSystemTrayIcon::Context);
    EXPECT_FALSE(window.isVisible()) << "the right button opens the tray menu only";
    window.OnTrayActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
    window.hide();
    window.OnTrayActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(AppShell, AHelpEntryWithoutABrowserShowsTheAddressToCopy) {
    CApplicationDlg window(h.context, Counting());
    SetBrowserOpener([](const QUrl&) { return false; });
    const int before = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    window.HelpMenu()->actions().at(0)->trigger();
    SetBrowserOpener([](const QUrl&) { return true; });
    ASSERT_EQ(MessageBox::count(), before + 1);
    const QUrl address = HelpAddress("Product_url", h.context.settings.exeDirectory);
    EXPECT_TRUE(
        MessageBox::lastText().contains(address.isLocalFile() ? address.toLocalFile() : address.toString()))
        << MessageBox::lastText().toStdString();

    SetBrowserOpener([](const QUrl&) { return true; });
    window.HelpMenu()->actions().at(0)->trigger();
    EXPECT_EQ(MessageBox::count(), before + 1) << "no message when a browser opens";
}

TEST_F(AppShell, AFailedEngineStartNamesThePortsOnce) {
    // A network namespace of this test's own, so that holding the port disturbs nobody.
    SKIP_LAB_UNLESS(unshare(CLONE_NEWNET) == 0,
                    std::string("no right to make a network namespace: ") + std::strerror(errno));
    ASSERT_EQ(std::system("ip link set lo up"), 0);
    const int holder = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(9785);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    const int before = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    EXPECT_FALSE(StartEngine(h.engine.engine, h.context.settings, nullptr));
    EXPECT_EQ(MessageBox::count(), before + 1);
    EXPECT_TRUE(MessageBox::lastText().contains(QStringLiteral("9785-9788")))
        << MessageBox::lastText().toStdString();

    close(holder);
    EXPECT_TRUE(StartEngine(h.engine.engine, h.context.settings, nullptr))
        << "the port was the only obstacle";
    EXPECT_EQ(MessageBox::count(), before + 1);
    h.engine.engine.Stop();
}

TEST(AppLook, TooltipsWakeAfterHalfASecondAndQtTextsFollowChinese) {
    auto& app = *static_cast<QApplication*>(QCoreApplication::instance());
    ApplyApplicationLook(app, 1033);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    EXPECT_EQ(InstallQtTranslations(app, 1033), nullptr) << "English needs none";

    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_zh_CN.qm"))) {
        GTEST_SKIP() << "Qt's translations are not installed (Debian package qt6-translations-l10n)";
    }
    const QString english = QCoreApplication::translate("QPlatformTheme", "Cancel");
    QTranslator* chinese = InstallQtTranslations(app, 2052);
    ASSERT_NE(chinese, nullptr);
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    QCoreApplication::removeTranslator(chinese);
    delete chinese;
    EXPECT_EQ(english, QStringLiteral("Cancel"));
    EXPECT_NE(cancel, english) << "message-box buttons in Chinese";
    EXPECT_FALSE(cancel.isEmpty());
}

} // namespace
} // namespace rf
