// The configuration dialog's tabs and Save, driven through their widgets offscreen.
#include "ManagementRadio.h"

#include "operations/ConfigWait.h"
#include "pages/IPSetDlg.h"
#include "pages/ManagementConfigDlg.h"
#include "pages/TimeRebootDlg.h"
#include "pages/VlanDlg.h"
#include "pages/WepDlg.h"
#include "pages/WirelessSetDlg.h"
#include "pages/WpaDlg.h"
#include "protocol/CodeTables.h"
#include "support/AppHarness.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

class ConfigDialog : public ::testing::Test {
protected:
    explicit ConfigDialog(const ap_info_stu& record = Radio())
        : record_(record), dialog(h.context.settings, h.skin, h.engine.store, record_) {
        h.engine.store.SaveDeviceInfo(record_);
        dialog.show();
    }
    // Save when it is expected to refuse: the message box is answered, its text returned.
    QString RefusedSave() {
        MessageBox::setNextAnswer(MessageBox::Ok);
        const int before = MessageBox::count();
        dialog.OnSave();
        EXPECT_EQ(MessageBox::count(), before + 1);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        return MessageBox::lastText();
    }
    void Save() {
        dialog.OnSave();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }
    CWirelessSetDlg& Wireless() { return *dialog.WirelessTab(); }

    AppHarness h;
    ap_info_stu record_;
    CManagementConfigDlg dialog;
};

TEST_F(ConfigDialog, TabButtonsShowOnePanelAtATime) {
    EXPECT_EQ(dialog.VisibleTab(), CManagementConfigDlg::kWirelessTab);
    EXPECT_TRUE(dialog.WirelessTab()->isVisible());
    EXPECT_FALSE(dialog.IpTab()->isVisible());
    QTest::mouseClick(dialog.TabButton(CManagementConfigDlg::kVlanTab), Qt::LeftButton);
    EXPECT_TRUE(dialog.VlanTab()->isVisible());
    EXPECT_FALSE(dialog.WirelessTab()->isVisible());
    EXPECT_EQ(dialog.ScheduleTab()->y(), dialog.VlanTab()->y() + 85) << "the schedule panel sits lower";
    EXPECT_EQ(dialog.IpTab()->Field(0)->text(), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(Wireless().PowerRange()->text(), QStringLiteral("(8-26)"));
}

TEST_F(ConfigDialog, NothingChangedClosesWithoutChangesAndWithoutAWait) {
    Save();
    EXPECT_TRUE(dialog.Changes().Empty());
    EXPECT_FALSE(WaitAfterConfigure(dialog.Changes()));
}

TEST_F(ConfigDialog, ANameAloneChangesTheNameOnly) {
    Wireless().NameEdit()->setText(QStringLiteral("Mast-2"));
    Save();
    EXPECT_EQ(dialog.Changes().name, "Mast-2");
    EXPECT_FALSE(dialog.Changes().wireless || dialog.Changes().ip || dialog.Changes().vlan ||
                 dialog.Changes().schedule);
    EXPECT_FALSE(WaitAfterConfigure(dialog.Changes())) << "a name change needs no wait";
}

TEST_F(ConfigDialog, ARefusalKeepsTheDialogOpenWithEveryInputAndShowsItsTab) {
    Wireless().PowerEdit()->setText(QStringLiteral("27"));
    dialog.VlanTab()->EnableBox()->setChecked(true);
    dialog.VlanTab()->ManageEdit()->setText(QStringLiteral("0"));
    dialog.ScheduleTab()->EnableBox()->setChecked(true);
    dialog.ScheduleTab()->HourEdit()->setText(QStringLiteral("24"));
    QTest::mouseClick(dialog.TabButton(CManagementConfigDlg::kIpTab), Qt::LeftButton);

    EXPECT_EQ(RefusedSave(), QStringLiteral("Power value range:8-26")) << "the wireless tab is checked first";
    EXPECT_EQ(dialog.VisibleTab(), CManagementConfigDlg::kWirelessTab);
    EXPECT_EQ(Wireless().PowerEdit()->text(), QStringLiteral("27"));
    EXPECT_EQ(dialog.VlanTab()->ManageEdit()->text(), QStringLiteral("0"));
    EXPECT_TRUE(dialog.Changes().Empty());

    Wireless().PowerEdit()->setText(QStringLiteral("26"));
    EXPECT_EQ(RefusedSave(), TranslateText("VLAN range:1-4094"));
    EXPECT_EQ(dialog.VisibleTab(), CManagementConfigDlg::kVlanTab);
    dialog.VlanTab()->ManageEdit()->setText(QStringLiteral("4094"));
    EXPECT_EQ(RefusedSave(), TranslateText("The time is error!"));
    EXPECT_EQ(dialog.VisibleTab(), CManagementConfigDlg::kScheduleTab);
    dialog.ScheduleTab()->HourEdit()->setText(QStringLiteral("3"));
    Save();
    EXPECT_TRUE(dialog.Changes().wireless && dialog.Changes().vlan && dialog.Changes().schedule);
}

TEST_F(ConfigDialog, IpAndVlanTogetherWaitAMinuteWithoutSearching) {
    dialog.IpTab()->Field(0)->setText(QStringLiteral("192.168.1.21"));
    dialog.VlanTab()->EnableBox()->setChecked(true);
    Save();
    ASSERT_TRUE(dialog.Changes().ip && dialog.Changes().vlan);
    EXPECT_EQ(WaitAfterConfigure(dialog.Changes()), (ConfigWait{60, false, 3}));
    ConfigChanges ipOnly;
    ipOnly.ip = dialog.Changes().ip;
    EXPECT_EQ(WaitAfterConfigure(ipOnly), (ConfigWait{15, true, 3}));
}

TEST_F(ConfigDialog, TheListsFollowCountryModeAndChannel) {
    CWirelessSetDlg& w = Wireless();
    EXPECT_EQ(w.ChannelBox()->currentData().toInt(), 40);
    EXPECT_EQ(w.ExtensionBox()->currentText(), QStringLiteral("36"));
    w.ChannelBox()->setCurrentIndex(w.ChannelBox()->findData(36));
    EXPECT_EQ(w.ExtensionBox()->currentText(), QStringLiteral("40"));
    w.BandwidthBox()->setCurrentIndex(w.BandwidthBox()->findData(0));
    EXPECT_EQ(w.ChannelBox()->currentData().toInt(), 36) << "20 MHz still offers the channel";
    EXPECT_FALSE(w.ExtensionBox()->isEnabled());
    w.ChannelBox()->setCurrentIndex(w.ChannelBox()->findData(165));
    w.BandwidthBox()->setCurrentIndex(w.BandwidthBox()->findData(1));
    EXPECT_EQ(w.ChannelBox()->findData(165), -1) << "the 40 MHz list, where 165 has no partner";
    EXPECT_EQ(w.ExtensionBox()->currentText(), TranslateText("Auto"));
    w.ChannelBox()->setCurrentIndex(w.ChannelBox()->findData(149));
    EXPECT_EQ(w.ExtensionBox()->currentText(), QStringLiteral("153"));
    w.BandwidthBox()->setCurrentIndex(w.BandwidthBox()->findData(0));
    w.CountryBox()->setCurrentIndex(w.CountryBox()->findText(QStringLiteral("Korea")));
    EXPECT_EQ(w.ChannelBox()->currentData().toInt(), 0);
    EXPECT_EQ(w.ChannelBox()->count(), 6);
    Save();
    ASSERT_TRUE(dialog.Changes().wireless);
    DeviceInfo built = record_.device_info();
    std::copy(dialog.Changes().wireless->begin(), dialog.Changes().wireless->end(),
              built.mutable_radio_settings_block().begin());
    EXPECT_EQ(built.country_code(), 39);
    EXPECT_EQ(built.bandwidth(), 0);
    EXPECT_EQ(built.channel(), 0);
    EXPECT_EQ(built.expand_channel(), 2);
}

TEST_F(ConfigDialog, TheSecurityModeShowsItsControls) {
    CWirelessSetDlg& w = Wireless();
    EXPECT_TRUE(w.KeyEdit()->isVisible());
    EXPECT_TRUE(w.Cipher(2)->isChecked());
    EXPECT_FALSE(w.WepPanel()->isVisible());
    w.SecurityBox()->setCurrentIndex(2); // WPA-PSK offers no TKIP&AES
    EXPECT_TRUE(w.Cipher(0)->isChecked());
    EXPECT_FALSE(w.Cipher(2)->isEnabled());
    w.SecurityBox()->setCurrentIndex(1);
    EXPECT_TRUE(w.WepPanel()->isVisible());
    EXPECT_FALSE(w.KeyEdit()->isVisible());
    w.WepPanel()->Key(0)->setText(QStringLiteral("012345678g"));
    w.WepPanel()->KeyType(0)->setCurrentIndex(1);
    EXPECT_EQ(RefusedSave(), TranslateText("WEP key is invalid! Please enter 10 or 26 HEX characters!"));
    w.SecurityBox()->setCurrentIndex(6);
    EXPECT_TRUE(w.WpaPanel()->isVisible());
    EXPECT_FALSE(w.WepPanel()->isVisible());
    w.WpaPanel()->Server()->setText(QStringLiteral("10.0.0.255"));
    EXPECT_EQ(RefusedSave(), TranslateText("Please enter a valid RADIUS Server address!"));
    w.SecurityBox()->setCurrentIndex(3);
    w.KeyEdit()->setText(QString(64, QLatin1Char('g')));
    EXPECT_EQ(RefusedSave(),
              TranslateText("Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!"));
}

TEST_F(ConfigDialog, ScheduleAndVlanBoxesEnableTheirFields) {
    CTimeRebootDlg& s = *dialog.ScheduleTab();
    EXPECT_FALSE(s.HourEdit()->isEnabled());
    EXPECT_TRUE(s.DayBox(0)->isChecked());
    EXPECT_TRUE(s.DayBox(4)->isChecked());
    s.EnableBox()->setChecked(true);
    EXPECT_TRUE(s.HourEdit()->isEnabled());
    s.EverydayBox()->setChecked(true);
    for (size_t day = 0; day < kDayCount; ++day) {
        EXPECT_TRUE(s.DayBox(day)->isChecked());
        EXPECT_FALSE(s.DayBox(day)->isEnabled());
    }
    s.EverydayBox()->setChecked(false);
    EXPECT_FALSE(s.DayBox(0)->isChecked());
    EXPECT_TRUE(s.DayBox(0)->isEnabled());
    EXPECT_EQ(RefusedSave(), TranslateText("Please selectting the day that you want to reboot!"));

    CVlanDlg& v = *dialog.VlanTab();
    EXPECT_FALSE(v.ManageEdit()->isEnabled());
    EXPECT_FALSE(v.LanEdit()->isVisible()) << "the wired VLAN is never shown";
    v.EnableBox()->setChecked(true);
    EXPECT_TRUE(v.ManageEdit()->isEnabled());
}

class StationDialog : public ConfigDialog {
protected:
    // A station whose stored power lies above its limits and whose key is too short for the tab's rules.
    static ap_info_stu Station() {
        ap_info_stu record = Radio(2);
        DeviceInfo info = record.device_info();
        info.set_tx_power(30);
        SecurityBlock security = info.security();
        security.set_wpapsk_key_value("short");
        info.set_security(security);
        record.set_device_info(info);
        return record;
    }
    StationDialog() : ConfigDialog(Station()) {}
};

TEST_F(StationDialog, AStationOnlyShowsItsWirelessValuesSaysWhyAndSavesItsOtherTabs) {
    EXPECT_FALSE(Wireless().NameEdit()->isEnabled());
    EXPECT_FALSE(Wireless().ChannelBox()->isEnabled());
    EXPECT_FALSE(Wireless().KeyEdit()->isEnabled());
    EXPECT_EQ(Wireless().NameEdit()->text(), QStringLiteral("Mast-1"));
    ASSERT_NE(Wireless().ShowOnlyNote(), nullptr);
    EXPECT_TRUE(Wireless().ShowOnlyNote()->isVisible());
    EXPECT_EQ(Wireless().ShowOnlyNote()->text(),
              TranslateText("A station takes its radio settings from its access point"));
    // A host of a /16 whose last octet is 0.
    dialog.IpTab()->Field(0)->setText(QStringLiteral("192.168.1.0"));
    dialog.IpTab()->Field(1)->setText(QStringLiteral("255.255.0.0"));
    Save();
    EXPECT_TRUE(dialog.Changes().ip);
    EXPECT_FALSE(dialog.Changes().name || dialog.Changes().wireless) << "the shown values are not sent";
}

class OffListDialog : public ConfigDialog {
protected:
    static ap_info_stu OffList() {
        ap_info_stu record = Radio();
        DeviceInfo info = record.device_info();
        info.set_channel(52); // offered by no list of this country
        info.set_expand_channel(1);
        record.set_device_info(info);
        return record;
    }
    OffListDialog() : ConfigDialog(OffList()) {}
};

TEST_F(OffListDialog, ANameChangeLeavesAnUntouchedOffListChannelAlone) {
    EXPECT_EQ(Wireless().ChannelBox()->currentData().toInt(), 0) << "the box falls back to Auto";
    Wireless().NameEdit()->setText(QStringLiteral("Mast-3"));
    Save();
    EXPECT_TRUE(dialog.Changes().name);
    EXPECT_FALSE(dialog.Changes().wireless) << "no SetWireless rewrites a setting nobody touched";
}

} // namespace
} // namespace rf::test
