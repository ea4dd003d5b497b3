// The bridge page and its wizard: the mode-switch refusal, the scan list (order, pictures, one tick, refresh,
// a scan without answer), the security and IP steps' rules, and Save sending one SetBridge of 326 bytes
// whose answer the list shows as the device's status.
#include "ManagementRadio.h"
#include "RowMenu.h"

#include "app/ProgramPages.h"
#include "app/StartupOptions.h"
#include "operations/DeviceOutcome.h"
#include "pages/BridgeConfigDlg.h"
#include "pages/BridgeDlg.h"
#include "pages/BridgeIPSetDlg.h"
#include "pages/BridgeSearchApDlg.h"
#include "pages/BridgeSecureDlg.h"
#include "pages/DeviceList.h"
#include "shell/PageIds.h"
#include "support/AppHarness.h"
#include "support/ScanSamples.h"
#include "support/WaitFor.h"
#include "ui/GridCtrl.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace rf::test {
namespace {

constexpr const char* kStation = "02:00:00:00:00:14";
constexpr const char* kStationIp = "192.168.1.20";
constexpr const char* kOtherIp = "192.168.1.30";
QString KeyMessage() {
    return TranslateText("Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!");
}

// Three access points as a scan answer brings them, in no particular order.
std::vector<uint8_t> ScanAnswer() {
    return ScanAnswerOf({{{0x02, 0xaa, 0, 0, 0, 1}, -80, 0, 36, "far"},
                         {{0x02, 0xaa, 0, 0, 0, 2}, -50, 6, 157, "near"},
                         {{0x02, 0xaa, 0, 0, 0, 3}, -65, 4, 44, "middle"}});
}

class BridgePage : public ::testing::Test {
protected:
    BridgePage() {
        ap_info_stu station = Radio(2, kStation); // a 5 GHz radio at 192.168.1.20
        h.engine.store.SaveDeviceInfo(station);
        DeviceInfo other = station.device_info();
        other.set_ip(IpTextToBytes(kOtherIp));
        h.engine.store.SaveDeviceInfo(
            ap_info_stu::Make("02:00:00:00:00:30", 257, DeviceStatus::Online, other));
        h.navigation.currentPage = kPageBridge;
        page = new CBridgeDlg(h.pageContext, nullptr);
        page->resize(1100, 700);
        page->show();
        page->RefreshList();
    }
    ~BridgePage() override { delete page; }

    int StationRow() const { return page->List().RowOfDevice(kStation); }
    // Presses the row's bridge button (or chooses its menu item); work runs on the wizard once it is up.
    void Operate(std::function<void(CBridgeConfigDlg&)> work, bool fromMenu = false) {
        QTimer::singleShot(0, [this, work] {
            auto* wizard = qobject_cast<CBridgeConfigDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(wizard, nullptr);
            autoRefreshWhileOpen = h.navigation.autoRefresh;
            work(*wizard);
            if (wizard->isVisible()) {
                wizard->OnClose();
            }
        });
        CGridCtrl& grid = *page->List().Grid();
        if (fromMenu) {
            Choose(OpenRowMenu(grid, StationRow()), "menuBridgeWizard");
            return;
        }
        const int column = page->List().Columns().ColumnOf(kFieldOperate);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(StationRow(), column).center());
    }
    // The scan the wizard started (the scans-th) is answered and its end is noticed at the next tick.
    void AnswerScan(CBridgeConfigDlg& wizard, int scans = 1) {
        ASSERT_TRUE(WaitFor([&] { return h.engine.sender->Count(MessageType::ScanAps, kStation) == scans; }));
        wizard.ScanStep()->FinishWorkers(); // the scan knows its request left
        h.engine.engine.DispatchReply(FromDevice(kStationIp, MessageType::ScanAps, kStation, ScanAnswer()));
        wizard.ScanStep()->OnScanTick();
    }
    static void Tick(CBridgeSearchApDlg& scan, int row) {
        CGridCtrl& grid = *scan.Grid();
        grid.SetChecked(row, 0, !grid.IsChecked(row, 0));
        scan.OnRowTicked(row);
    }
    // Next, answering a refusal box if one comes; the text of the box (empty when none came).
    QString Next(CBridgeConfigDlg& wizard) {
        const int before = MessageBox::count();
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
        return MessageBox::count() == before ? QString() : MessageBox::lastText();
    }

    AppHarness h;
    CBridgeDlg* page = nullptr;
    bool autoRefreshWhileOpen = true;
};

TEST_F(BridgePage, TheListShowsTheBridgeColumnsAndTheProgramMakesThePage) {
    EXPECT_EQ(page->List().Grid()->GetColumnCount(), 11);
    EXPECT_EQ(page->List().Grid()->GetCellText(0, page->List().Columns().ColumnOf(kFieldOperate)),
              QStringLiteral("Operate"))
        << "not the status list's Web";
    EXPECT_GE(StationRow(), 1);
    std::unique_ptr<CPage> made(MakeProgramPages(StartupOptions{})(kPageBridge, h.pageContext, nullptr));
    EXPECT_NE(qobject_cast<CBridgeDlg*>(made.get()), nullptr);
}

TEST_F(BridgePage, AModeSwitchAtTheAccessPointPositionRefusesWithoutAWizard) {
    ap_info_stu record;
    ASSERT_TRUE(h.engine.store.GetDevice(kStation, record));
    DeviceInfo info = record.device_info();
    info.set_mode_btn_status(1);
    h.engine.store.SaveDeviceInfo(ap_info_stu::Make(kStation, 257, DeviceStatus::Online, info));
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OpenWizard(StationRow());
    EXPECT_TRUE(MessageBox::lastText().startsWith(QStringLiteral("The Mode Switch is at AP position")));
    EXPECT_EQ(h.engine.sender->Count(MessageType::ScanAps), 0) << "no wizard, no scan";
    EXPECT_TRUE(h.navigation.autoRefresh);
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "the list reloads 2 seconds later all the same";
}

TEST_F(BridgePage, TheScanListsTheAccessPointsStrongestFirstWithOneTickAtATime) {
    Operate([&](CBridgeConfigDlg& wizard) {
        CBridgeSearchApDlg& scan = *wizard.ScanStep();
        EXPECT_TRUE(scan.Scanning());
        EXPECT_FALSE(wizard.NextButton()->isEnabled());
        AnswerScan(wizard);
        EXPECT_FALSE(scan.Scanning());
        EXPECT_FALSE(scan.NoAnswerLabel()->isVisibleTo(&scan));
        CGridCtrl& grid = *scan.Grid();
        ASSERT_EQ(grid.GetRowCount(), 4);
        const std::vector<QString> ssids{grid.GetCellText(1, 1), grid.GetCellText(2, 1),
                                         grid.GetCellText(3, 1)};
        EXPECT_EQ(ssids, (std::vector<QString>{QStringLiteral("near"), QStringLiteral("middle"),
                                               QStringLiteral("far")}));
        EXPECT_EQ(grid.GetCellImage(1, 5), 5);
        EXPECT_EQ(grid.GetCellImage(2, 5), 3);
        EXPECT_EQ(grid.GetCellImage(3, 5), 1);
        EXPECT_EQ(grid.GetCellText(1, 4), QStringLiteral("WPA2-PSK/TKIP&AES"));

        Tick(scan, 1);
        EXPECT_TRUE(wizard.NextButton()->isEnabled());
        Tick(scan, 2);
        EXPECT_FALSE(grid.IsChecked(1, 0)) << "ticking a second row unticks the first";
        EXPECT_EQ(scan.SelectedMac(), "02:aa:00:00:00:03");
        Tick(scan, 2);
        EXPECT_FALSE(wizard.NextButton()->isEnabled()) << "unticking the only ticked row";

        Tick(scan, 1);
        QTest::mouseClick(scan.RefreshButton(), Qt::LeftButton);
        EXPECT_EQ(grid.GetRowCount(), 1) << "refresh empties the list";
        EXPECT_FALSE(wizard.NextButton()->isEnabled());
        EXPECT_TRUE(scan.Scanning());
        AnswerScan(wizard, 2);
        EXPECT_EQ(grid.GetRowCount(), 4) << "and fills it again when the new scan ends";
    });
    EXPECT_FALSE(autoRefreshWhileOpen);
    EXPECT_TRUE(h.navigation.autoRefresh);
}

TEST_F(BridgePage, AScanWithoutAnswerEndsAfterThirtySecondsAndSaysSo) {
    Operate([&](CBridgeConfigDlg& wizard) {
        CBridgeSearchApDlg& scan = *wizard.ScanStep();
        for (int second = 1; second < CBridgeSearchApDlg::kScanLimitTicks; ++second) {
            scan.OnScanTick();
        }
        EXPECT_TRUE(scan.Scanning()) << "29 seconds";
        scan.OnScanTick();
        EXPECT_FALSE(scan.Scanning());
        EXPECT_EQ(scan.Grid()->GetRowCount(), 1);
        EXPECT_TRUE(scan.NoAnswerLabel()->isVisibleTo(&scan));
        EXPECT_TRUE(scan.RefreshButton()->isVisibleTo(&scan));
        EXPECT_FALSE(wizard.NextButton()->isEnabled());
    });
}

TEST_F(BridgePage, AScanThatCouldNotBeSentSaysSoThoughAnEarlierScanCompleted) {
    ap_info_stu record;
    ASSERT_TRUE(h.engine.store.GetDevice(kStation, record));
    DeviceInfo info = record.device_info();
    info.set_ip(IpTextToBytes("10.55.0.20")); // on no subnet of this PC's adapters
    h.engine.store.SaveDeviceInfo(ap_info_stu::Make(kStation, record.ap_type(), DeviceStatus::Online, info));
    page->RefreshList();
    h.engine.engine.scanComplete = true; // left by an earlier scan
    Operate([&](CBridgeConfigDlg& wizard) {
        CBridgeSearchApDlg& scan = *wizard.ScanStep();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !scan.Scanning(); }, 10000)) << "ends without waiting";
        EXPECT_EQ(scan.NoAnswerLabel()->text(), TranslateText(kScanNotSentKey));
        EXPECT_TRUE(scan.NoAnswerLabel()->isVisibleTo(&scan));
        EXPECT_TRUE(scan.RefreshButton()->isVisibleTo(&scan));
        EXPECT_EQ(scan.Grid()->GetRowCount(), 1);
        EXPECT_FALSE(wizard.NextButton()->isEnabled());
    });
    EXPECT_EQ(h.engine.sender->Count(MessageType::ScanAps), 0);
}

TEST_F(BridgePage, CloseSendsNothingAndForgetsTheScan) {
    Operate([&](CBridgeConfigDlg& wizard) {
        AnswerScan(wizard);
        QTest::mouseClick(wizard.CloseButton(), Qt::LeftButton);
    });
    std::vector<ScanEntry> left;
    h.engine.store.QueryScannedAps(4, false, left);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(h.engine.sender->Count(MessageType::SetBridge), 0);
    EXPECT_TRUE(page->ReloadTimer().isActive());
}

TEST_F(BridgePage, TheRowMenuOpensTheWizardEnterGoesOnAndEscapeInAStepClosesIt) {
    bool came = false;
    Operate(
        [&](CBridgeConfigDlg& wizard) {
            came = true;
            AnswerScan(wizard);
            Tick(*wizard.ScanStep(), 1);
            QTest::keyClick(&wizard, Qt::Key_Return);
            ASSERT_EQ(wizard.CurrentStep(), CBridgeConfigDlg::kSecurityStep) << "Enter presses Next";
            QTest::keyClick(wizard.SecurityStep()->SsidEdit(), Qt::Key_Escape);
            EXPECT_FALSE(wizard.isVisible()) << "Escape in a step closes the wizard";
        },
        true);
    EXPECT_TRUE(came);
    EXPECT_EQ(h.engine.sender->Count(MessageType::SetBridge), 0);
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "as after its close button";
}

TEST_F(BridgePage, TheStepsApplyTheirRulesAndSaveSendsOneSetBridge) {
    Operate([&](CBridgeConfigDlg& wizard) {
        AnswerScan(wizard);
        Tick(*wizard.ScanStep(), 1); // "near": WPA2-PSK TKIP&AES on channel 157
        EXPECT_EQ(Next(wizard), QString());
        ASSERT_EQ(wizard.CurrentStep(), CBridgeConfigDlg::kSecurityStep);
        CBridgeSecureDlg& security = *wizard.SecurityStep();
        EXPECT_EQ(security.SsidEdit()->text(), QStringLiteral("near"));
        EXPECT_EQ(security.ChannelBox()->currentData().toInt(), 157);
        EXPECT_EQ(security.SecurityBox()->currentData().toInt(), 3);
        EXPECT_TRUE(security.Cipher(2)->isChecked());
        EXPECT_TRUE(security.KeyEdit()->isVisibleTo(&security));
        EXPECT_EQ(Next(wizard), KeyMessage()) << "no key yet";
        security.KeyEdit()->setText(QString(63, QLatin1Char('a')) + QLatin1Char('g'));
        EXPECT_EQ(Next(wizard), KeyMessage()) << "64 characters must be hex digits";
        security.KeyEdit()->setText(QStringLiteral("bridge-key-1"));
        EXPECT_EQ(Next(wizard), QString());
        ASSERT_EQ(wizard.CurrentStep(), CBridgeConfigDlg::kIpStep);

        CBridgeIPSetDlg& ip = *wizard.IpStep();
        EXPECT_EQ(ip.FieldEdit(CBridgeIPSetDlg::kIp)->Address(), QString::fromUtf8(kStationIp));
        ip.FieldEdit(CBridgeIPSetDlg::kIp)->SetAddress(QString::fromUtf8(kOtherIp));
        EXPECT_EQ(Next(wizard), TranslateText("The ip address is already in use, please respecify!"));
        ip.FieldEdit(CBridgeIPSetDlg::kIp)->SetAddress(QString::fromUtf8(kStationIp));
        EXPECT_EQ(Next(wizard), QString()) << "the device's own address is not in use";
        ASSERT_EQ(wizard.CurrentStep(), CBridgeConfigDlg::kFinishStep);
        EXPECT_EQ(h.engine.sender->Count(MessageType::SetBridge), 0) << "nothing goes out before Save";
        EXPECT_EQ(Next(wizard), QString());
    });
    ASSERT_TRUE(WaitFor([&] { return h.engine.sender->Count(MessageType::SetBridge) == 1; }));
    for (const auto& sent : h.engine.sender->All()) {
        if (!sent.search && sent.header.messageType() == MessageType::SetBridge) {
            ASSERT_EQ(sent.payload.size(), 326u);
            EXPECT_EQ(sent.payload[0], 2) << "station";
            EXPECT_EQ(sent.payload[6], 2) << "the MAC of the chosen access point ends in 02";
        }
    }
    std::vector<ScanEntry> left;
    h.engine.store.QueryScannedAps(4, false, left);
    EXPECT_TRUE(left.empty()) << "Save forgets the scan";

    const uint8_t success = 0;
    h.engine.engine.DispatchReply(FromDevice(kStationIp, MessageType::SetBridge, kStation, {&success, 1}));
    EXPECT_TRUE(WaitFor([&] {
        h.engine.DropUnanswered();
        return !page->BatchRunning();
    }));
    page->FinishWorkers();
    QCoreApplication::processEvents();
    EXPECT_TRUE(page->BatchSummary()->text().startsWith(TranslateText("Bridge success")))
        << ToStdString(page->BatchSummary()->text());
    page->RefreshList();
    const int status = page->List().StatusColumn();
    EXPECT_EQ(page->List().Grid()->GetCellText(StationRow(), status),
              ToQString(StatusText(DeviceStatus::BridgeSuccess)));
}

} // namespace
} // namespace rf::test
