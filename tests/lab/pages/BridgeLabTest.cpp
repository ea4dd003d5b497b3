// The bridge wizard against simulated radios: the scan through a radio lists its segment's access points
// strongest first with their signal pictures, the steps preset and check what the user gives, and Save
// makes the radio a station of the chosen access point (checked in the radio's own state).
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "operations/ApScan.h"
#include "pages/BridgeConfigDlg.h"
#include "pages/BridgeDlg.h"
#include "pages/BridgeIPSetDlg.h"
#include "pages/BridgeSearchApDlg.h"
#include "pages/BridgeSecureDlg.h"
#include "pages/DeviceList.h"
#include "protocol/CodeTables.h"
#include "shell/AppContext.h"
#include "support/RecordingNavigation.h"
#include "ui/GridCtrl.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRadios = 8;
constexpr int kSetBridge = 7;

class BridgeWizardLab : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
        SKIP_WITHOUT_LAB(lab);
        const std::vector<std::string> radios = lab.Radios();
        for (const std::string& line : radios) {
            if (JsonNumber(line, "work_mode") == 1 && ap.empty()) {
                ap = line;
            }
        }
        ASSERT_FALSE(ap.empty()) << "the lab has no access point";
        for (const std::string& line : radios) {
            const int model = JsonNumber(line, "model");
            if (line != ap && model != 4 && model != 261) {
                (mac.empty() ? mac : otherIp) = JsonValue(line, mac.empty() ? "mac" : "ip");
            }
        }
        ASSERT_FALSE(otherIp.empty());
        // Set before the PC learns the radio's details, which carry the switch's position.
        ASSERT_EQ(lab.Control("modeswitch " + mac + " " + std::to_string(modeSwitch)), "ok\n");
        ASSERT_TRUE(pc.Start());
        ASSERT_TRUE(pc.DiscoveryCycle(kRadios));
        app.emplace(AppContext{pc.Engine(), pc.Store(), GlobalSettings(), skin});
        page = std::make_unique<CBridgeDlg>(PageContext::Of(*app, navigation), nullptr);
        page->resize(1100, 600);
        page->show();
        page->RefreshList();
    }

    // Next, answering a refusal box if one comes; the text of the box (empty when none came).
    static QString Next(CBridgeConfigDlg& wizard) {
        const int before = MessageBox::count();
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
        return MessageBox::count() == before ? QString() : MessageBox::lastText();
    }
    void Walk(CBridgeConfigDlg& wizard);
    std::string Radio() { return lab.Control("get " + mac); }

    Lab lab{{.radios = kRadios, .subnets = 1, .simArgs = {}}};
    EngineInLab pc{lab, 1};
    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    RecordingNavigation navigation;
    std::optional<AppContext> app;
    std::unique_ptr<CBridgeDlg> page;
    std::string ap, mac, otherIp;
    int modeSwitch = 0; // off
};

class ModeSwitchAtAccessPoint : public BridgeWizardLab {
protected:
    ModeSwitchAtAccessPoint() { modeSwitch = 1; }
};

void BridgeWizardLab::Walk(CBridgeConfigDlg& wizard) {
    CBridgeSearchApDlg& scan = *wizard.ScanStep();
    ASSERT_TRUE(WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return !scan.Scanning();
        },
        40s));
    EXPECT_FALSE(scan.NoAnswerLabel()->isVisibleTo(&scan));
    const std::vector<ScanEntry>& shown = scan.Shown();
    int apRow = -1;
    for (size_t i = 0; i < shown.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(scan.Grid()->GetCellImage(row, 5), SignalImageIndex(shown[i].signal()));
        if (i > 0) {
            EXPECT_GE(shown[i - 1].signal(), shown[i].signal()) << "strongest first";
        }
        if (MacBytesToText(shown[i].mac()) == JsonValue(ap, "ssid_mac")) {
            apRow = row;
        }
    }
    ASSERT_GE(apRow, 1) << "the access point of the radio's segment is heard";
    scan.Grid()->SetChecked(apRow, 0, true);
    scan.OnRowTicked(apRow);
    ASSERT_EQ(Next(wizard), QString());

    CBridgeSecureDlg& security = *wizard.SecurityStep();
    EXPECT_EQ(ToStdString(security.SsidEdit()->text()), JsonValue(ap, "ssid"));
    security.SecurityBox()->setCurrentIndex(security.SecurityBox()->findData(3)); // WPA2-PSK
    security.KeyEdit()->setText(QString(63, QLatin1Char('a')) + QLatin1Char('g'));
    EXPECT_FALSE(Next(wizard).isEmpty()) << "a 64-character key with a non-hex character";
    security.KeyEdit()->setText(QStringLiteral("roof-link-key"));
    ASSERT_EQ(Next(wizard), QString());

    CIpAddressEdit& ip = *wizard.IpStep()->FieldEdit(CBridgeIPSetDlg::kIp);
    const QString own = ip.Address();
    ip.SetAddress(ToQString(otherIp));
    EXPECT_EQ(Next(wizard), TranslateText("The ip address is already in use, please respecify!"));
    ip.SetAddress(own);
    ASSERT_EQ(Next(wizard), QString());
    ASSERT_EQ(wizard.CurrentStep(), CBridgeConfigDlg::kFinishStep);
    EXPECT_EQ(Next(wizard), QString()); // Save
}

TEST_F(BridgeWizardLab, SaveMakesTheRadioAStationOfTheTickedAccessPoint) {
    QTimer::singleShot(0, [&] {
        CBridgeConfigDlg* wizard = page->Wizard();
        ASSERT_NE(wizard, nullptr);
        Walk(*wizard);
        if (wizard->isVisible()) {
            wizard->OnClose();
        }
    });
    const int row = page->List().RowOfDevice(mac);
    ASSERT_GE(row, 1);
    page->OpenWizard(row);
    EXPECT_TRUE(WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return !page->BatchRunning() && !page->BatchSummary()->text().isEmpty();
        },
        30s));
    EXPECT_TRUE(page->BatchSummary()->text().startsWith(TranslateText("Bridge success")))
        << ToStdString(page->BatchSummary()->text());
    const std::string after = Radio();
    EXPECT_EQ(JsonNumber(after, "work_mode"), 2);
    EXPECT_EQ(JsonValue(after, "bridge_mac"), JsonValue(ap, "ssid_mac"));
    EXPECT_EQ(JsonValue(after, "bridge_ssid"), JsonValue(ap, "ssid"));
    EXPECT_EQ(JsonNumber(after, "bridge_secure_mode"), 3);
    EXPECT_EQ(JsonValue(after, "bridge_key"), "roof-link-key");
    EXPECT_EQ(SimRadio::Parse(after).Received(kSetBridge), 1);
}

TEST_F(ModeSwitchAtAccessPoint, OpensNoWizard) {
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OpenWizard(page->List().RowOfDevice(mac));
    EXPECT_TRUE(MessageBox::lastText().startsWith(QStringLiteral("The Mode Switch is at AP position")));
    EXPECT_EQ(SimRadio::Parse(Radio()).Received(6), 0) << "no scan was asked for";
}

} // namespace
} // namespace rf::test
