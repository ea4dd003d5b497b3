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
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

// A 1 MiB tmpfs, mounted after EnterOwnMounts; Fill leaves only room bytes free.
struct SmallDisk {
    SmallDisk() : mounted(::mount("tmpfs", dir.Path().c_str(), "tmpfs", 0, "size=1m") == 0) {}
    ~SmallDisk() { ::umount2(dir.Path().c_str(), MNT_DETACH); }
    bool Fill(std::uintmax_t room) const {
        struct statvfs fs {};
        const bool roomy = ::statvfs(dir.Path().c_str(), &fs) == 0 && fs.f_bavail * fs.f_frsize >= room;
        std::ofstream(dir.Path() / "filler")
            << std::string(roomy ? fs.f_bavail * fs.f_frsize - room : 0, 'x');
        return roomy;
    }
    TempDir dir;
    bool mounted;
};

// Mounts made from now on by this thread, and by the threads and programs it starts, are its own.
bool EnterOwnMounts() {
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class StatusLab : public ::testing::Test {
protected:
    StatusLab() {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    }

    // The page in a main window over the lab's engine, after a search has stored every radio.
    bool Open(Lab& lab, int radios) {
        if (!Show(lab) || !pc->Start()) {
            return false;
        }
        page->OnSearchClicked();
        for (int second = 1; second < 30 && pc->OnlineCount() < radios; ++second) {
            page->OnSearchTick();
            WaitFor([&] { return pc->OnlineCount() >= radios; }, 1s);
        }
        page->OnSearchClicked(); // Stop: the list is read again
        return pc->OnlineCount() == radios;
    }
    // The page in a main window over an engine not started yet, its store in storeDirectory when given.
    bool Show(Lab& lab, const std::string& storeDirectory = {}) {
        pc = std::make_unique<EngineInLab>(lab, 1, nullptr, storeDirectory);
        context = std::make_unique<AppContext>(AppContext{pc->Engine(), pc->Store(), GlobalSettings(), skin});
        window = std::make_unique<CApplicationDlg>(
            *context, [this](int id, const PageContext& pageContext, QWidget* parent) -> CPage* {
                return id == kPageStatus ? page = new CStatusDlg(pageContext, parent) : new CPage(id, parent);
            });
        window->show();
        return page != nullptr;
    }
    // The page's search for a number of its one-second ticks; stopping it reads the list again.
    void SearchFor(int ticks) {
        page->OnSearchClicked();
        for (int tick = 0; tick < ticks; ++tick) {
            QTest::qWait(1000);
            page->OnSearchTick();
        }
        page->OnSearchClicked();
        QCoreApplication::processEvents();
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

TEST_F(StatusLab, AStoreOnAFullDiskIsReportedAndNothingItLacksIsListedAsStored) {
    Lab lab({.radios = 12, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    ASSERT_TRUE(EnterOwnMounts()) << std::strerror(errno);
    const SmallDisk cliDisk;
    const SmallDisk pageDisk;
    ASSERT_TRUE(cliDisk.mounted && pageDisk.mounted) << std::strerror(errno);
    // Both stores get the pages of an empty store and not one more: a few radios fit in those.
    ASSERT_TRUE(Show(lab, pageDisk.dir.Dir()));
    ASSERT_TRUE(pageDisk.Fill(0));
    ASSERT_TRUE(cliDisk.Fill(std::filesystem::file_size(pc->Store().GetDatabasePath())));

    const CliRun cli = RunCli(lab, cliDisk.dir, "search --json --seconds 7");
    EXPECT_EQ(cli.status, 3) << cli.output;
    ASSERT_FALSE(cli.lines.empty());
    EXPECT_EQ(cli.lines.back(),
              "radiofleet-cli: the device store cannot be written: database or disk is full (disk full?)");
    const auto count = [&](const char* announced) {
        return std::count_if(cli.lines.begin(), cli.lines.end(), [&](const std::string& line) {
            return JsonValue(line, "announced") == announced;
        });
    };
    EXPECT_GT(count("false"), 0) << cli.output;
    EXPECT_LT(count("false"), 12) << cli.output;
    EXPECT_EQ(count("false") + count("true"), 12)
        << "the others are listed as only announced: " << cli.output;

    ASSERT_TRUE(pc->Start());
    const int boxes = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    SearchFor(7);
    MessageBox::setNextAnswer(MessageBox::Ok); // a second box would otherwise wait for a user
    EXPECT_EQ(MessageBox::count(), boxes + 1) << "one message, not one per radio";
    const CTStatic* warning = page->List().StoreWarning();
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text().toStdString(),
              "Devices cannot be stored: database or disk is full (disk full?)");
    const auto held = pc->StoredDevices();
    EXPECT_LT(held.size(), 12U);
    int listedAsStored = 0;
    for (int row = 1; row < Grid().GetRowCount(); ++row) {
        const std::string mac = ToStdString(Grid().GetCellText(row, kFieldMac));
        const bool stored =
            std::any_of(held.begin(), held.end(), [&](const auto& d) { return d.mac() == mac; });
        EXPECT_EQ(stored, !page->List().IsAnnouncedRow(row)) << mac;
        listedAsStored += stored ? 1 : 0;
    }
    EXPECT_EQ(listedAsStored, static_cast<int>(held.size()));
    EXPECT_EQ(Grid().GetRowCount(), 13) << "every radio is listed";

    std::filesystem::remove(pageDisk.dir.Path() / "filler");
    SearchFor(4);
    EXPECT_EQ(pc->StoredDevices().size(), 12U) << "asked again, the radios are stored once there is room";
    EXPECT_FALSE(warning->isVisible()) << "the warning lasts only while writes fail";
    EXPECT_EQ(MessageBox::count(), boxes + 1);
}

} // namespace
} // namespace rf::test
