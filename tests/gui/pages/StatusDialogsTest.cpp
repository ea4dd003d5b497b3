// "Set IP" and "Set Bridge" from the status page, the IP tab and the address field, over a recording
// engine.
#include "StatusFixture.h"

#include "bridge/BridgeSetMultiDlg.h"
#include "pages/IPSetDlg.h"
#include "pages/IpsetMutilDlg.h"
#include "rules/DeviceRules.h"
#include "ui/IpAddressEdit.h"

#include <QProgressBar>
#include <QRadioButton>

namespace rf::test {
namespace {

class SetIp : public StatusPageTest {
protected:
    void TickRows(int count) {
        for (int row = 1; row <= count; ++row) {
            Grid().SetChecked(row, kFieldTick, true);
        }
    }
    // The first SetIp to each device (resends left out), in the order they went.
    std::vector<std::pair<std::string, std::string>> SentAddresses() {
        std::vector<std::pair<std::string, std::string>> sent;
        for (const auto& s : h.engine.sender->All()) {
            const auto seen = [&](const auto& p) { return p.first == MacBytesToText(s.header.mac); };
            if (s.header.messageType() == MessageType::SetIp &&
                std::none_of(sent.begin(), sent.end(), seen)) {
                sent.emplace_back(MacBytesToText(s.header.mac),
                                  IpBytesToText({s.payload[1], s.payload[2], s.payload[3], s.payload[4]}));
            }
        }
        return sent;
    }
};

TEST_F(SetIp, NothingTickedAsksForDevices) {
    Store({.index = 1});
    List().Reload(1);
    MessageBox::setNextAnswer(MessageBox::Ok);
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    EXPECT_EQ(MessageBox::lastText(), TranslateText("Please select the devices!"));
}

TEST_F(SetIp, TheAddressRulesSpeakAndAValidRangeGoesOutThenTheDialogSearchesAndCloses) {
    for (int i = 1; i <= 4; ++i) {
        Store({.index = i});
    }
    List().PageSizeBox()->setCurrentIndex(0);
    List().Reload(1);
    TickRows(4);
    // Taken before the run: the page may reload its list (and drop the ticks) once the batch is over.
    const auto ticked = List().CollectSelectedDevices();
    ASSERT_EQ(ticked.size(), 4u);
    bool closed = false;
    WithNextDialog<CIpsetMutilDlg>([&](CIpsetMutilDlg& d) {
        EXPECT_TRUE(d.EndField()->isVisibleTo(&d));
        EXPECT_TRUE(d.EndField()->text().isEmpty());
        EXPECT_EQ(d.MaskField()->text(), QStringLiteral("255.255.255.0")) << "the first device's settings";
        EXPECT_EQ(d.GatewayField()->text(), QStringLiteral("192.168.1.1"));
        const auto refused = [&](const char* start, const char* end, const char* mask, const char* key) {
            d.StartField()->setText(QString::fromLatin1(start));
            d.EndField()->setText(QString::fromLatin1(end));
            d.MaskField()->setText(QString::fromLatin1(mask));
            MessageBox::setNextAnswer(MessageBox::Ok);
            d.OnSave();
            EXPECT_EQ(MessageBox::lastText(), TranslateText(key)) << start << " " << end << " " << mask;
            EXPECT_FALSE(d.ProgressTimer().isActive());
        };
        d.GatewayField()->clear();
        refused("127.0.0.5", "192.168.2.2", "255.255.0.0", kInvalidIpMessage);
        refused("224.1.1.1", "192.168.2.2", "255.255.0.0", kInvalidIpMessage);
        refused("192.168.1.0", "192.168.2.2", "255.255.255.0", kInvalidIpMessage);
        refused("192.168.2.0", "192.168.2.2", "255.255.254.0", kInvalidIpMessage);
        refused("192.168.1.254", "192.168.2.2", "255.255.255.255", kInvalidMaskMessage);
        refused("192.168.1.254", "192.168.2.2", "0.0.0.0", kInvalidMaskMessage);
        refused("192.168.1.254", "192.168.1.254", "255.255.0.0", kInvalidIpMessage);
        EXPECT_TRUE(SentAddresses().empty());

        d.StartField()->setText(QStringLiteral("192.168.1.254"));
        d.EndField()->setText(QStringLiteral("192.168.2.2"));
        d.MaskField()->setText(QStringLiteral("255.255.255.0")); // .1.255 and .2.0 are no hosts
        // Three addresses for four devices: the user is told which device would get none, and may widen
        // the range (Cancel) or set the others (OK).
        const std::string leftOver = ticked.back().Mac();
        MessageBox::setNextAnswer(MessageBox::Cancel);
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("ipSave")), Qt::LeftButton);
        EXPECT_TRUE(MessageBox::lastText().contains(ToQString(leftOver)))
            << MessageBox::lastText().toStdString();
        EXPECT_FALSE(d.ProgressTimer().isActive());
        EXPECT_TRUE(SentAddresses().empty());
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("ipSave")), Qt::LeftButton);
        EXPECT_TRUE(d.ProgressTimer().isActive());
        EXPECT_TRUE(d.Progress()->isVisible());
        EXPECT_FALSE(d.StartField()->isEnabled());
        const size_t searchesBefore = h.engine.sender->SearchTargets().size();
        for (int tick = 1; tick < 29; ++tick) {
            d.OnProgressTick();
        }
        EXPECT_TRUE(d.isVisible()) << "still waiting after 28 ticks";
        d.OnProgressTick();
        EXPECT_FALSE(d.isVisible());
        closed = d.result() == QDialog::Accepted;
        EXPECT_EQ(h.engine.sender->SearchTargets().size() - searchesBefore, 3u);
    });
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    EXPECT_TRUE(closed);
    FinishBatch();
    const auto sent = SentAddresses();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].second, "192.168.1.254");
    EXPECT_EQ(sent[1].second, "192.168.2.1");
    EXPECT_EQ(sent[2].second, "192.168.2.2");
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].first, ticked[i].Mac()) << "in the order of the list";
    }
}

TEST_F(SetIp, OneDeviceMayNotTakeAnotherDevicesAddressButMayKeepItsOwn) {
    Store({.index = 1});
    Store({.index = 2});
    List().Reload(1);
    const int row = List().RowOfDevice(MacOf(1));
    Grid().SetChecked(row, kFieldTick, true);
    bool stayedOpen = false;
    WithNextDialog<CIpsetMutilDlg>([&](CIpsetMutilDlg& d) {
        d.StartField()->setText(ToQString(IpOf(2))); // a typo: the neighbour's address
        MessageBox::setNextAnswer(MessageBox::Ok);
        d.OnSave();
        EXPECT_EQ(MessageBox::lastText(), TranslateText(kAddressInUseMessage));
        EXPECT_FALSE(d.ProgressTimer().isActive());
        stayedOpen = d.isVisible();
        d.StartField()->setText(ToQString(IpOf(1))); // its own address, with new shared settings
        d.OnSave();
        EXPECT_TRUE(d.ProgressTimer().isActive());
    });
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    FinishBatch();
    EXPECT_TRUE(stayedOpen);
    const auto sent = SentAddresses();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(MacOf(1), IpOf(1)));
}

TEST_F(SetIp, OneDeviceHidesTheEndAndGetsTheStartAddress) {
    Store({.index = 1});
    List().Reload(1);
    TickRows(1);
    WithNextDialog<CIpsetMutilDlg>([&](CIpsetMutilDlg& d) {
        EXPECT_FALSE(d.EndField()->isVisibleTo(&d));
        EXPECT_EQ(d.StartField()->text(), ToQString(IpOf(1)));
        d.StartField()->setText(QStringLiteral("192.168.1.77"));
        d.OnSave();
    });
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    FinishBatch();
    const auto sent = SentAddresses();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(MacOf(1), std::string("192.168.1.77")));
}

TEST_F(SetIp, CancelSendsNothing) {
    Store({.index = 1});
    List().Reload(1);
    TickRows(1);
    WithNextDialog<CIpsetMutilDlg>([](CIpsetMutilDlg& d) {
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("ipCancel")), Qt::LeftButton);
    });
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    FinishBatch();
    EXPECT_TRUE(SentAddresses().empty());
}

class SetBridge : public StatusPageTest {
protected:
    std::vector<std::pair<std::string, int>> Sent() {
        std::vector<std::pair<std::string, int>> sent;
        for (const auto& s : h.engine.sender->All()) {
            const auto seen = [&](const auto& p) { return p.first == MacBytesToText(s.header.mac); };
            if (s.header.messageType() == MessageType::SetTransparentBridge &&
                std::none_of(sent.begin(), sent.end(), seen)) {
                sent.emplace_back(MacBytesToText(s.header.mac), s.payload.at(0));
            }
        }
        return sent;
    }
};

TEST_F(SetBridge, OnlyRowsWithoutTransparentBridgeAreRefusedAndSaveSendsToEveryConfigurableOne) {
    Store({.index = 1, .model = 4});                // no transparent bridge: "N/A"
    Store({.index = 2, .model = 257, .bridge = 1}); // on
    Store({.index = 3, .model = 258, .bridge = 0}); // off
    List().Reload(1);
    const int na = RowOf(MacOf(1));
    ASSERT_EQ(Cell(na, kFieldBridge), ToQString(kNotApplicableText));
    Grid().SetChecked(na, kFieldTick, true);
    MessageBox::setNextAnswer(MessageBox::Ok);
    QTest::mouseClick(page->SetBridgeButton(), Qt::LeftButton);
    EXPECT_EQ(MessageBox::lastText(), TranslateText("Please select configurable devices!"));

    for (int i : {2, 3}) {
        Grid().SetChecked(RowOf(MacOf(i)), kFieldTick, true);
    }
    const bool secondFirst = RowOf(MacOf(2)) < RowOf(MacOf(3));
    WithNextDialog<CBridgeSetMultiDlg>([&](CBridgeSetMultiDlg& d) {
        EXPECT_EQ(d.EnableButton()->isChecked(), secondFirst) << "opens with the first ticked device's value";
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("bridgeSave")), Qt::LeftButton);
    });
    QTest::mouseClick(page->SetBridgeButton(), Qt::LeftButton);
    FinishBatch();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    const int value = secondFirst ? 1 : 0;
    EXPECT_EQ(sent[0].second, value);
    EXPECT_EQ(sent[1].second, value);
    QTRY_VERIFY(page->ReloadTimer().isActive());
}

TEST_F(SetBridge, CancelAfterAChangeSendsNothing) {
    Store({.index = 2, .model = 257, .bridge = 1});
    List().Reload(1);
    Grid().SetChecked(1, kFieldTick, true);
    WithNextDialog<CBridgeSetMultiDlg>([](CBridgeSetMultiDlg& d) {
        d.DisableButton()->click();
        EXPECT_EQ(d.SwitchValue(), 0);
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("bridgeCancel")), Qt::LeftButton);
    });
    QTest::mouseClick(page->SetBridgeButton(), Qt::LeftButton);
    FinishBatch();
    EXPECT_TRUE(Sent().empty());
}

TEST(IpTabDialog, PrefillsItsFieldsAndRefusesAnotherDevicesAddress) {
    AppHarness h;
    h.engine.store.SaveDeviceInfo(MakeDevice({.index = 9}));
    const IpSettingsBlock opening{0, 192, 168, 1, 5, 255, 255, 255, 0, 192, 168,
                                  1, 1,   8,   8, 8, 8,   0,   0,   0, 0,   0};
    CIPSetDlg tab(h.context.settings, h.engine.store, "02:00:00:00:00:05", opening);
    EXPECT_EQ(tab.Field(0)->text(), QStringLiteral("192.168.1.5"));
    EXPECT_EQ(tab.Field(3)->text(), QStringLiteral("8.8.8.8"));
    EXPECT_EQ(tab.Field(4)->text(), QStringLiteral("0.0.0.0"));

    bool changed = true;
    IpSettingsBlock block{};
    ASSERT_TRUE(tab.CollectIpSettings(changed, block));
    EXPECT_FALSE(changed) << "a stored mode other than 1 alone is no change";

    tab.Field(0)->setText(ToQString(IpOf(9)));
    MessageBox::setNextAnswer(MessageBox::Ok);
    EXPECT_FALSE(tab.CollectIpSettings(changed, block));
    EXPECT_EQ(MessageBox::lastText(), TranslateText(kAddressInUseMessage));

    tab.Field(0)->setText(QStringLiteral("192.168.1.6"));
    ASSERT_TRUE(tab.CollectIpSettings(changed, block));
    EXPECT_TRUE(changed);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[4], 6);
    EXPECT_EQ(block[21], 1);
}

TEST(IpAddressField, TakesOnlyWhatAnAddressCanBe) {
    CIpAddressEdit field;
    field.show();
    QTest::keyClicks(&field, QStringLiteral("10a.2x55.3.25.1"));
    EXPECT_EQ(field.text(), QStringLiteral("10.255.3.251")) << "letters and a fifth part are refused";
    EXPECT_TRUE(field.hasAcceptableInput());
    EXPECT_TRUE(field.IsMarkedValid());
    field.setText(QStringLiteral("10.0"));
    EXPECT_FALSE(field.hasAcceptableInput());
    EXPECT_TRUE(field.property("rfNoTranslate").toBool());
}

TEST(IpAddressField, KeepsAPartAbove255AndShowsItWrong) {
    CIpAddressEdit field;
    field.show();
    QTest::keyClicks(&field, QStringLiteral("10.99.1.256"));
    EXPECT_EQ(field.Address(), QStringLiteral("10.99.1.256")) << "the digit is not dropped without a word";
    EXPECT_FALSE(field.hasAcceptableInput());
    EXPECT_FALSE(field.IsMarkedValid());
    EXPECT_TRUE(field.property("rfInvalid").toBool());
    EXPECT_FALSE(field.styleSheet().isEmpty()) << "a red frame";
    EXPECT_EQ(field.toolTip(), QStringLiteral("255 is the largest value of a part"));
    EXPECT_FALSE(IsValidHostAddress(ToStdString(field.Address()), false)) << "forms read it as invalid";

    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.Address(), QStringLiteral("10.99.1.25"));
    EXPECT_TRUE(field.hasAcceptableInput());
    EXPECT_TRUE(field.IsMarkedValid());
    EXPECT_TRUE(field.styleSheet().isEmpty());
    EXPECT_TRUE(field.toolTip().isEmpty());
}

} // namespace
} // namespace rf::test
