// The status page against simulated radios: the engine runs in the lab's PC namespace (started from a
// thread that entered it; its sockets stay there), the page in this process's GUI thread.
#include "CliRun.h"
#include "EngineInLab.h"

#include "app/ApplicationDlg.h"
#include "bridge/BridgeSetMultiDlg.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "operations/DeviceOperations.h"
#include "operations/DeviceOutcome.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/IpsetMutilDlg.h"
#include "pages/StatusDlg.h"
#include "rules/DeviceRules.h"
#include "shell/AppContext.h"
#include "shell/PageIds.h"
#include "ui/GridCtrl.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

class StatusLab : public ::testing::Test {
protected:
    StatusLab() {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    }

    // The page in a main window over the lab's engine, after a search has stored every radio.
    bool Open(Lab& lab, int radios) {
        pc = std::make_unique<EngineInLab>(lab, 1);
        if (!pc->Start()) {
            return false;
        }
        context = std::make_unique<AppContext>(AppContext{pc->Engine(), pc->Store(), GlobalSettings(), skin});
        window = std::make_unique<CApplicationDlg>(
            *context, [this](int id, const PageContext& pageContext, QWidget* parent) -> CPage* {
                return id == kPageStatus ? page = new CStatusDlg(pageContext, parent) : new CPage(id, parent);
            });
        window->show();
        page->OnSearchClicked();
        for (int second = 1; second < 30 && pc->OnlineCount() < radios; ++second) {
            page->OnSearchTick();
            WaitFor([&] { return pc->OnlineCount() >= radios; }, 1s);
        }
        page->OnSearchClicked(); // Stop: the list is read again
        return pc->OnlineCount() == radios;
    }
    CGridCtrl& Grid() { return *page->List().Grid(); }
    // Until the page's batch has ended and its outcome is shown.
    bool BatchEnded(std::chrono::milliseconds limit = 10s) {
        const bool ended = WaitFor(
            [&] {
                QCoreApplication::processEvents();
                return !page->BatchRunning();
            },
            limit);
        QCoreApplication::processEvents();
        return ended;
    }
    int RowOf(const std::string& mac) {
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            if (Grid().GetCellText(row, kFieldMac) == ToQString(mac)) {
                return row;
            }
        }
        return -1;
    }
    void Tick(const std::vector<std::string>& macs) {
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            Grid().SetChecked(row, kFieldTick, false);
        }
        for (const auto& mac : macs) {
            Grid().SetChecked(RowOf(mac), kFieldTick, true);
        }
    }
    void RenameTo(const std::string& mac, const QString& name) {
        Q_EMIT Grid().cellClicked(RowOf(mac), kFieldLocation);
        ASSERT_NE(page->RenameEditor(), nullptr);
        page->RenameEditor()->setText(name);
        QTest::keyClick(page->RenameEditor(), Qt::Key_Return);
    }
    SimRadio Radio(const Lab& lab, const std::string& mac) {
        return SimRadio::Parse(lab.Control("get " + mac));
    }

    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    std::unique_ptr<EngineInLab> pc;
    std::unique_ptr<AppContext> context;
    CStatusDlg* page = nullptr;
    std::unique_ptr<CApplicationDlg> window;
};

TEST_F(StatusLab, ASearchListsTheRadiosTrueValuesAndRenameAndBridgeReachThem) {
    Lab lab({.radios = 16, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    ASSERT_TRUE(Open(lab, 16));
    const auto radios = SimRadios(lab);
    ASSERT_EQ(Grid().GetRowCount(), 17);
    EXPECT_EQ(page->List().OnlineLabel()->text(), QStringLiteral("Online devices: 16"));
    for (const SimRadio& radio : radios) {
        const int row = RowOf(radio.mac);
        ASSERT_GT(row, 0) << radio.mac;
        std::string name;
        COperateCharacter::DeviceTextToLocal(radio.name, name);
        EXPECT_EQ(Grid().GetCellText(row, kFieldIp), ToQString(radio.ip));
        EXPECT_EQ(Grid().GetCellText(row, kFieldLocation), ToQString(name));
        EXPECT_EQ(Grid().GetCellText(row, kFieldType), ToQString(ModelText(radio.model)));
        EXPECT_EQ(Grid().GetCellText(row, kFieldChannel), ToQString(ChannelText(radio.channel)));
        EXPECT_EQ(Grid().GetCellText(row, kFieldBridge),
                  ToQString(TransparentBridgeText(radio.model, radio.workMode, radio.bridgeTransparent)));
    }

    const auto strict =
        std::find_if(radios.begin(), radios.end(), [](auto& r) { return r.model == 4 || r.model == 261; });
    const auto loose =
        std::find_if(radios.begin(), radios.end(), [](auto& r) { return r.model != 4 && r.model != 261; });
    ASSERT_NE(strict, radios.end()) << "the lab has no radio of a strict-name model";
    ASSERT_NE(loose, radios.end());
    MessageBox::setNextAnswer(MessageBox::Ok);
    RenameTo(strict->mac, QStringLiteral("Mast 9"));
    EXPECT_EQ(MessageBox::lastText(), TranslateText(kStrictNameMessage));
    ASSERT_NE(page->RenameEditor(), nullptr) << "the refused name stays in its editor";
    QTest::keyClick(page->RenameEditor(), Qt::Key_Escape);
    RenameTo(loose->mac, QStringLiteral("Mast 9"));
    EXPECT_TRUE(WaitFor([&] { return Radio(lab, loose->mac).name == "Mast 9"; }, 10s));
    ASSERT_TRUE(BatchEnded());
    const QString cjk = QString(10, QChar(0x5854)) + QStringLiteral("ab");
    RenameTo(loose->mac, cjk);
    EXPECT_TRUE(WaitFor([&] { return Radio(lab, loose->mac).name == cjk.toStdString(); }, 10s))
        << "the name arrives as UTF-8";
    ASSERT_TRUE(BatchEnded());
    EXPECT_EQ(page->BatchSummary()->text(),
              TranslateText("Rename") + QStringLiteral(": 1 ") + TranslateText("verified"));
    page->List().ReloadCurrentPage();
    EXPECT_EQ(Grid().GetCellText(RowOf(loose->mac), kFieldLocation), cjk)
        << "the device was asked for its details again, so the list shows its new name";
    EXPECT_EQ(Radio(lab, strict->mac).name, strict->name) << "the refused name was never sent";

    std::vector<std::string> configurable;
    for (const auto& r : radios) {
        if (r.HasTransparentBridge() && configurable.size() < 3) {
            configurable.push_back(r.mac);
        }
    }
    ASSERT_GE(configurable.size(), 2u);
    page->List().ReloadCurrentPage();
    Tick(configurable);
    const int value = Radio(lab, configurable[0]).bridgeTransparent == 0 ? 1 : 0;
    QTimer::singleShot(0, [value] {
        auto* dialog = qobject_cast<CBridgeSetMultiDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        (value != 0 ? dialog->EnableButton() : dialog->DisableButton())->click();
        dialog->OnSave();
    });
    page->OnSetBridge();
    for (const auto& mac : configurable) {
        EXPECT_TRUE(WaitFor([&] { return Radio(lab, mac).bridgeTransparent == value; }, 10s)) << mac;
    }
    ASSERT_TRUE(BatchEnded());
    EXPECT_EQ(page->BatchSummary()->text(), TranslateText("Set Bridge") +
                                                QStringLiteral(": %1 ").arg(configurable.size()) +
                                                TranslateText("verified"));
    page->List().ReloadCurrentPage();
    for (const auto& mac : configurable) {
        EXPECT_EQ(Grid().GetCellText(RowOf(mac), kFieldBridge), TranslateText(value != 0 ? "On2" : "Off2"))
            << mac << ": the list shows the switch";
    }
}

// The line for a device moved to ip whose answer was lost, as every front end must print it.
std::string MovedAnswerLostLine(const SimRadio& radio, const std::string& ip) {
    const BatchPlan plan =
        PlanSetIp(SelectedDevice::Make(radio.ip, radio.mac, radio.model),
                  BuildStaticIpBlock(IpTextToBytes(ip), IpTextToBytes("255.255.0.0"), {}, {}, {}));
    return DeviceLineText(plan, 0, {radio.mac, radio.ip, DeviceOutcome::VerifiedAnswerLost, {}});
}

TEST_F(StatusLab, SetIpHandsOutTheRangeAndTheListShowsTheNewAddresses) {
    // Radios 4 and 5 apply what they are told but lose their answers.
    Lab lab({.radios = 6, .subnets = 1, .simArgs = {"--lose-answers", "4,5"}});
    SKIP_WITHOUT_LAB(lab);
    const auto radios = SimRadios(lab);
    // radiofleet-cli moves radio 4 before the page's engine starts: the two would share the PC's ports.
    TempDir runDir;
    const CliRun cli =
        RunCli(lab, runDir, "set-ip " + radios[4].mac + " 10.99.1.201 255.255.0.0 none none none");
    EXPECT_EQ(cli.status, 0) << cli.output;
    EXPECT_EQ(cli.lines, std::vector<std::string>{MovedAnswerLostLine(radios[4], "10.99.1.201")})
        << cli.output;
    ASSERT_TRUE(Open(lab, 6));
    std::vector<std::string> four;
    for (int i = 0; i < 4; ++i) {
        four.push_back(radios[static_cast<size_t>(i)].mac);
    }
    Tick(four);
    const auto order = page->List().CollectSelectedDevices();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CIpsetMutilDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->StartField()->setText(QStringLiteral("10.99.1.254"));
        dialog->EndField()->setText(QStringLiteral("10.99.2.2"));
        // With this mask the range skips 10.99.1.255 and 10.99.2.0, the broadcast and network addresses.
        dialog->MaskField()->setText(QStringLiteral("255.255.255.0"));
        dialog->GatewayField()->clear();
        dialog->Dns1Field()->clear();
        dialog->Dns2Field()->clear();
        MessageBox::setNextAnswer(MessageBox::Ok); // three addresses for four radios: set the three
        dialog->OnSave();
        // The dialog's progress, ticked through at once instead of over 14.5 s.
        for (int tick = 0; tick < 29 && dialog->isVisible(); ++tick) {
            dialog->OnProgressTick();
        }
    });
    page->OnSetIp();
    const std::vector<std::string> expected{"10.99.1.254", "10.99.2.1", "10.99.2.2"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(WaitFor([&] { return Radio(lab, order[i].Mac()).ip == expected[i]; }, 10s))
            << order[i].Mac();
    }
    EXPECT_EQ(Radio(lab, order[3].Mac()).ip, order[3].Ip()) << "the fourth keeps its address";

    const auto storedAtNewAddresses = [&] {
        const auto stored = pc->StoredDevices();
        for (size_t i = 0; i < 3; ++i) {
            const auto found = std::find_if(stored.begin(), stored.end(),
                                            [&](const ap_info_stu& d) { return d.mac() == order[i].Mac(); });
            if (found == stored.end() || IpBytesToText(found->device_info().ip()) != expected[i]) {
                return false;
            }
        }
        return true;
    };
    bool stored = false;
    for (int search = 0; search < 20 && !stored; ++search) {
        pc->Search();
        stored = WaitFor(storedAtNewAddresses, 1s);
    }
    ASSERT_TRUE(stored) << "a search finds the radios at their new addresses";
    page->List().ReloadCurrentPage();
    for (size_t i = 0; i < 3; ++i) {
        const int row = RowOf(order[i].Mac());
        ASSERT_GT(row, 0) << order[i].Mac();
        EXPECT_EQ(Grid().GetCellText(row, kFieldIp), ToQString(expected[i]))
            << "the list shows the new address";
    }

    // The page's detail for a radio whose answer is lost is the command line's line for radio 4.
    Tick({radios[5].mac});
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CIpsetMutilDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->StartField()->setText(QStringLiteral("10.99.1.202"));
        dialog->MaskField()->setText(QStringLiteral("255.255.0.0"));
        dialog->GatewayField()->clear();
        dialog->Dns1Field()->clear();
        dialog->Dns2Field()->clear();
        dialog->OnSave();
        for (int tick = 0; tick < 29 && dialog->isVisible(); ++tick) {
            dialog->OnProgressTick();
        }
    });
    page->OnSetIp();
    ASSERT_TRUE(BatchEnded(60s));
    EXPECT_EQ(Radio(lab, radios[5].mac).ip, "10.99.1.202");
    EXPECT_EQ(page->BatchSummary()->text(),
              TranslateText("Set IP") + QStringLiteral(": 1 ") + TranslateText("verified (answer lost)"));
    EXPECT_EQ(page->BatchSummary()->toolTip(), ToQString(MovedAnswerLostLine(radios[5], "10.99.1.202")));
}

} // namespace
} // namespace rf::test
