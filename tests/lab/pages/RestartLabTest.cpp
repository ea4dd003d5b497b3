// The reboot page against simulated radios: ticked radios restart, and a radio that never answers is
// named in the summary.
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "pages/DeviceList.h"
#include "pages/RebootDlg.h"
#include "shell/AppContext.h"
#include "support/RecordingNavigation.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

TEST(RestartLab, TickedRadiosRestartAndASilentOneIsNamedNotReached) {
    SetLanguageIdOverride(1033);
    LoadLanguage(RF_BUNDLE_DIR);
    SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    Lab lab({.radios = 3, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    for (int second = 0; second < 30 && pc.OnlineCount() < 3; ++second) {
        pc.Engine().SearchDevices();
        WaitFor([&] { return pc.OnlineCount() >= 3; }, 1s);
    }
    ASSERT_EQ(pc.OnlineCount(), 3);
    const auto radios = SimRadios(lab);
    ASSERT_EQ(radios.size(), 3u);
    const std::string silent = radios[2].mac;
    ASSERT_EQ(lab.Control("mute " + silent + " 1"), "ok\n");

    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    AppContext app{pc.Engine(), pc.Store(), GlobalSettings(), skin};
    RecordingNavigation navigation;
    CRebootDlg page(PageContext::Of(app, navigation), nullptr);
    page.resize(1000, 600);
    page.show();
    page.RefreshList();
    CGridCtrl& grid = *page.List().Grid();
    ASSERT_EQ(grid.GetRowCount(), 4);
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        grid.SetChecked(row, kFieldTick, true);
    }
    auto status = [&](const std::string& mac) {
        return grid.GetCellText(page.List().RowOfDevice(mac), page.List().StatusColumn());
    };
    QTimer::singleShot(0, [&] {
        CWaitDlg* wait = page.WaitDialog();
        EXPECT_NE(wait, nullptr);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(WaitFor(
                [&] { return SimRadio::Parse(lab.Control("get " + radios[i].mac)).state == "rebooting"; },
                10s))
                << radios[i].mac;
        }
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return status(radios[0].mac) == QStringLiteral("Restarting"); }, 5000))
            << "the status tick shows what the store holds";
        EXPECT_EQ(status(silent), QStringLiteral("Online"));
        if (wait != nullptr) {
            wait->accept();
        }
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page.OnAction();
    EXPECT_TRUE(WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return !page.BatchRunning();
        },
        60s));
    QCoreApplication::processEvents();
    EXPECT_EQ(page.BatchSummary()->text(), QStringLiteral("Reboot: 2 verified, 1 no answer (not reached: ") +
                                               ToQString(silent) + QStringLiteral(")"));
}

} // namespace
} // namespace rf::test
