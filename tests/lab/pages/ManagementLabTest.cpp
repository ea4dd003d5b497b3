// The management page against simulated radios: what the configuration dialog saves reaches the radio,
// and the list shows it after its reload.
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "pages/DeviceList.h"
#include "pages/IPSetDlg.h"
#include "pages/ManagementConfigDlg.h"
#include "pages/ManagementDlg.h"
#include "pages/VlanDlg.h"
#include "pages/WirelessSetDlg.h"
#include "protocol/DeviceInfo.h"
#include "rules/WirelessChoices.h"
#include "shell/AppContext.h"
#include "support/RecordingNavigation.h"
#include "ui/GridCtrl.h"
#include "ui/IpAddressEdit.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRadios = 8;
constexpr int kSetWireless = 4, kSetName = 8;

// A radio whose stored settings the dialog takes as they are (loose names) and whose channel list offers
// a channel other than the selected one; that channel.
std::pair<std::string, int> RadioWithAnotherChannel(const Lab& lab) {
    for (const std::string& line : lab.Radios()) {
        const int model = JsonNumber(line, "model");
        if (model == 4 || model == 261) {
            continue;
        }
        DeviceInfo info;
        info.set_rf_type(static_cast<uint8_t>(JsonNumber(line, "rf_type")));
        info.set_country_code(static_cast<uint8_t>(JsonNumber(line, "country_code")));
        info.set_network_mode(static_cast<uint8_t>(JsonNumber(line, "network_mode")));
        info.set_bandwidth(static_cast<uint8_t>(JsonNumber(line, "bandwidth")));
        info.set_channel(static_cast<uint8_t>(JsonNumber(line, "channel")));
        const ChoiceList channels = WirelessChoices::Open(info).channels();
        for (size_t i = 1; i < channels.items.size(); ++i) {
            if (static_cast<int>(i) != channels.selected) {
                return {line, channels.items[i].data};
            }
        }
    }
    return {};
}

class ManagementLab : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
        SKIP_WITHOUT_LAB(lab);
        ASSERT_TRUE(pc.Start());
        ASSERT_TRUE(pc.DiscoveryCycle(kRadios));
        std::tie(line, channel) = RadioWithAnotherChannel(lab);
        ASSERT_FALSE(line.empty()) << "no radio with a choice of channels";
        mac = JsonValue(line, "mac");
        app.emplace(AppContext{pc.Engine(), pc.Store(), GlobalSettings(), skin});
        page = std::make_unique<CManagementDlg>(PageContext::Of(*app, navigation), nullptr);
        page->resize(1100, 600);
        page->show();
        page->RefreshList();
    }

    // Opens the device's configuration dialog, lets edit change it and saves; returns once the send ended.
    void SaveWith(const std::function<void(CManagementConfigDlg&)>& edit) {
        QTimer::singleShot(0, [&] {
            auto* dialog = page->ConfigDialog();
            ASSERT_NE(dialog, nullptr);
            edit(*dialog);
            QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
        });
        const int row = page->List().RowOfDevice(mac);
        ASSERT_GE(row, 1);
        page->OpenConfiguration(row);
        // After a VLAN change the send waits for the radio's restart (20 s here, a minute at most).
        EXPECT_TRUE(WaitFor(
            [&] {
                QCoreApplication::processEvents();
                return !page->BatchRunning() && !page->BatchSummary()->text().isEmpty();
            },
            90s));
    }
    QString Cell(DeviceField field) {
        CDeviceList& list = page->List();
        return list.Grid()->GetCellText(list.RowOfDevice(mac), list.Columns().ColumnOf(field));
    }
    std::string Radio() { return lab.Control("get " + mac); }

    Lab lab{{.radios = kRadios, .subnets = 1, .simArgs = {}}};
    EngineInLab pc{lab, 1};
    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    std::optional<AppContext> app;
    RecordingNavigation navigation;
    std::unique_ptr<CManagementDlg> page;
    std::string line;
    std::string mac;
    int channel = 0;
};

TEST_F(ManagementLab, ANameOnlyChangeSendsOneSetNameAndNoWait) {
    SaveWith([](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->NameEdit()->setText(QStringLiteral("Depot-3"));
    });
    EXPECT_FALSE(page->LastWait());
    EXPECT_NE(page->BatchSummary()->text().indexOf(QStringLiteral("verified")), -1)
        << page->BatchSummary()->text().toStdString();
    const SimRadio radio = SimRadio::Parse(Radio());
    EXPECT_EQ(radio.name, "Depot-3");
    EXPECT_EQ(radio.Received(kSetName), 1);
    EXPECT_EQ(radio.Received(kSetWireless), 0) << "the untouched wireless settings are not sent";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(kFieldLocation) == QStringLiteral("Depot-3"); }, 5000))
        << "the list shows it after its reload";
}

TEST_F(ManagementLab, AWirelessChangeReachesTheRadioAndTheListShowsIt) {
    const int power = JsonNumber(line, "tx_power_min");
    SaveWith([&](CManagementConfigDlg& dialog) {
        CWirelessSetDlg& w = *dialog.WirelessTab();
        w.SsidEdit()->setText(QStringLiteral("field-7"));
        w.ChannelBox()->setCurrentIndex(w.ChannelBox()->findData(channel));
        w.PowerEdit()->setText(QString::number(power));
    });
    const std::string after = Radio();
    EXPECT_EQ(JsonValue(after, "ssid"), "field-7");
    EXPECT_EQ(JsonNumber(after, "channel"), channel);
    EXPECT_EQ(JsonNumber(after, "tx_power"), power);
    EXPECT_EQ(SimRadio::Parse(after).Received(kSetWireless), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(kFieldSsid) == QStringLiteral("field-7"); }, 5000))
        << "the list shows it after its reload";
    EXPECT_EQ(Cell(kFieldChannel), QString::number(channel));
    EXPECT_EQ(Cell(kFieldPower), QString::number(power));
}

TEST_F(ManagementLab, IpAndVlanTogetherShowTheMinuteWaitAndApplyAtTheRestart) {
    bool waited = false;
    SaveWith([&](CManagementConfigDlg& dialog) {
        dialog.IpTab()->Field(0)->setText(QStringLiteral("10.99.200.9"));
        dialog.VlanTab()->EnableBox()->setChecked(true);
        dialog.VlanTab()->ManageEdit()->setText(QStringLiteral("10"));
        dialog.VlanTab()->WlanEdit()->setText(QStringLiteral("20"));
        QTimer::singleShot(0, [&] {
            waited = page->WaitDialog() != nullptr;
            if (page->WaitDialog()) {
                page->WaitDialog()->reject(); // the test does not sit out the minute
            }
        });
    });
    EXPECT_TRUE(waited);
    ASSERT_TRUE(page->LastWait());
    EXPECT_EQ(*page->LastWait(), (ConfigWait{60, false, 3}));
    EXPECT_TRUE(WaitFor([&] { return JsonValue(Radio(), "ip") == "10.99.200.9"; }, 20s))
        << "the SetIp sent after the SetVlan takes effect at the restart: " << Radio();
    EXPECT_EQ(JsonNumber(Radio(), "vlan_id"), 10);
    EXPECT_EQ(JsonNumber(Radio(), "vlan_id_wlan"), 20);
}

TEST_F(ManagementLab, AnSsidChangeKeepsASecurityModeTheDialogCannotEditAndItsKeys) {
    ASSERT_EQ(lab.Control("security " + mac + " 9"), "ok\n");
    const std::string before = Radio();
    pc.Engine().MarkRestarting(mac); // asked for its details again when it next answers a search
    const auto storedAsNine = [&] {
        ap_info_stu stored;
        return pc.Store().GetDevice(mac, stored) && stored.device_info().security().secure_mode() == 9;
    };
    bool nine = false;
    for (int search = 0; search < 5 && !nine; ++search) {
        pc.Search();
        nine = WaitFor(storedAsNine, 3s);
    }
    ASSERT_TRUE(nine);
    page->RefreshList();
    SaveWith([](CManagementConfigDlg& dialog) {
        CWirelessSetDlg& w = *dialog.WirelessTab();
        QComboBox* security = w.SecurityBox();
        EXPECT_EQ(security->currentText(), QStringLiteral("Unknown (9)"));
        const auto* items = qobject_cast<QStandardItemModel*>(security->model());
        ASSERT_NE(items, nullptr);
        EXPECT_FALSE(items->item(security->currentIndex())->isEnabled()) << "it cannot be chosen again";
        EXPECT_TRUE(w.UnknownModeNote()->isVisible());
        w.SsidEdit()->setText(QStringLiteral("field-9"));
    });
    const std::string after = Radio();
    EXPECT_EQ(JsonValue(after, "ssid"), "field-9");
    EXPECT_EQ(SimRadio::Parse(after).Received(kSetWireless), 1);
    EXPECT_EQ(JsonNumber(after, "secure_mode"), 9) << "the radio is not left open";
    for (const char* key : {"wpapsk_key_value", "wpapsk_key_time", "wpa_key", "wpa_radius_ip",
                            "wpa_radius_port", "wep_key_index"}) {
        EXPECT_EQ(JsonValue(after, key), JsonValue(before, key)) << key;
    }
}

} // namespace
} // namespace rf::test
