// The upgrade page against simulated radios, with the real Relayd in the lab's PC namespace: with ten
// radios of two models only the chosen model fetches the image and comes back with the image's version,
// every ticked row follows the store, and the summary names every device; with a launcher slow to bring
// the server up, nothing is sent before the server answers. The tests drive the dialog's ticks.
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/OperateSystemInfo.h"
#include "core/Settings.h"
#include "pages/DeviceList.h"
#include "pages/UpgradeConfigDlg.h"
#include "pages/UpgradeDlg.h"
#include "protocol/CodeTables.h"
#include "relayd/ServerReadiness.h"
#include "shell/AppContext.h"
#include "support/RecordingNavigation.h"
#include "support/TempDir.h"
#include "ui/FileDialog.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

// The calling thread, and every thread it starts (the firmware server's among them), works in the lab's
// PC namespace until the end of the scope.
class InPcNamespace {
public:
    explicit InPcNamespace(const Lab& lab) {
        original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target = ::open(("/run/netns/" + lab.PcNamespace()).c_str(), O_RDONLY | O_CLOEXEC);
        entered_ = original_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) {
            ::close(target);
        }
    }
    ~InPcNamespace() {
        if (entered_) {
            ::setns(original_, CLONE_NEWNET);
        }
        if (original_ >= 0) {
            ::close(original_);
        }
    }
    InPcNamespace(const InPcNamespace&) = delete;
    InPcNamespace& operator=(const InPcNamespace&) = delete;
    bool Ok() const { return entered_; }

private:
    int original_ = -1;
    bool entered_ = false;
};

// With RF_PICTURES_DIR set (scripts/screenshot sets it), the page with the dialog over it in its transfer
// phase is saved there as upgrade-dialog.png for the README.
void SavePicture(QWidget& page, QWidget& dialog) {
    const char* dir = std::getenv("RF_PICTURES_DIR");
    if (dir == nullptr || *dir == '\0') {
        return;
    }
    QPixmap picture = page.grab();
    QPainter painter(&picture);
    painter.drawPixmap((picture.width() - dialog.width()) / 2, (picture.height() - dialog.height()) / 3,
                       dialog.grab());
    painter.end();
    EXPECT_TRUE(picture.save(QString::fromLocal8Bit(dir) + QStringLiteral("/upgrade-dialog.png")));
}

// English texts and the bundle's settings, as the program loads them.
void LoadProgramTexts() {
    SetLanguageIdOverride(1033);
    LoadLanguage(RF_BUNDLE_DIR);
    SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
}

// A program folder of the test's own, with a copy of the real Relayd in its service folder.
class ProgramWithServer {
public:
    ProgramWithServer() {
        std::filesystem::create_directory(dir_.Path() / "service");
        std::filesystem::copy_file(std::string(RF_BUNDLE_DIR) + "service/Relayd", Server());
    }
    std::string Dir() const { return dir_.Dir(); }
    std::filesystem::path Path() const { return dir_.Path(); }
    std::filesystem::path Write(const std::string& name, const std::string& content) const {
        return dir_.Write(name, content);
    }
    std::string Server() const { return (dir_.Path() / "service" / "Relayd").string(); }
    bool ServerRuns() const {
        pid_t pid = 0;
        return COperateSystemInfo::FindProcessByPath(Server(), pid);
    }

private:
    TempDir dir_;
};

constexpr int kRadios = 10;
constexpr int kChosenModel = 258;
constexpr int kUpgrade = 11;

TEST(UpgradePageLab, TenRadiosOfTwoModelsOnlyTheChosenOneFetchesAndTheSummaryNamesEveryDevice) {
    Lab lab({.radios = kRadios,
             .subnets = 1,
             .simArgs = {"--models", "257,258", "--flash-ms", "300", "--reboot-ms", "800",
                         "--answer-spread-ms", "20"}});
    SKIP_WITHOUT_LAB(lab);
    LoadProgramTexts();
    InPcNamespace inside(lab);
    ASSERT_TRUE(inside.Ok());

    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(kRadios));
    const SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    AppContext app{pc.Engine(), pc.Store(), GlobalSettings(), skin};
    RecordingNavigation navigation;

    ProgramWithServer program;
    TempDir firmware;
    const std::string image = firmware.Write("V9.bin", std::string(300000, 'f')).string();

    CUpgradeDlg page(PageContext::Of(app, navigation), nullptr);
    page.UseFirmwareServer(program.Dir());
    page.resize(1120, 600);
    page.show();
    page.RefreshList();
    CGridCtrl& grid = *page.List().Grid();
    ASSERT_EQ(grid.GetRowCount(), kRadios + 1);
    std::map<std::string, SimRadio> radios;
    std::vector<std::string> typesInRowOrder;
    for (int row = 1; row <= kRadios; ++row) {
        const DeviceRow& record = *page.List().Row(row);
        radios[record.mac] = SimRadio::Parse(lab.Control("get " + record.mac));
        const std::string type = ModelText(record.model);
        if (std::find(typesInRowOrder.begin(), typesInRowOrder.end(), type) == typesInRowOrder.end()) {
            typesInRowOrder.push_back(type);
        }
        grid.SetChecked(row, page.List().ColumnOf(kFieldTick), true);
    }
    ASSERT_EQ(typesInRowOrder.size(), 2u);
    // A row of the other model whose stored status changes during the run: its cell must follow.
    std::string other;
    for (const auto& [mac, radio] : radios) {
        other = radio.model != kChosenModel ? mac : other;
    }
    const auto statusOf = [&](const std::string& mac) {
        return grid.GetCellText(page.List().RowOfDevice(mac), page.List().StatusColumn());
    };

    QTimer::singleShot(0, [&] {
        CUpgradeConfigDlg& dialog = *page.Dialog();
        ASSERT_EQ(dialog.TypeBox()->count(), 2);
        EXPECT_EQ(ToStdString(dialog.TypeBox()->itemText(0)), typesInRowOrder[0]);
        EXPECT_EQ(ToStdString(dialog.TypeBox()->itemText(1)), typesInRowOrder[1]);
        dialog.TypeBox()->setCurrentIndex(dialog.TypeBox()->findText(ToQString(ModelText(kChosenModel))));
        FileDialog::setNextFileName(ToQString(image));
        dialog.OnScan();
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.RunStarted(); }, 10000));
        dialog.Timer().stop();
        EXPECT_TRUE(program.ServerRuns());
        pc.Store().SetDeviceStatus(other, DeviceStatus::BridgeFail);
        dialog.OnTick();
        SavePicture(page, dialog);

        // Transfer: every radio of the model fetches the image and waits to be told to flash it.
        const auto chosenAre = [&](std::initializer_list<DeviceStatus> wanted) {
            for (const auto& [mac, radio] : radios) {
                const DeviceStatus status = pc.Store().GetDeviceStatus(mac);
                if (radio.model == kChosenModel &&
                    std::find(wanted.begin(), wanted.end(), status) == wanted.end()) {
                    return false;
                }
            }
            return true;
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return chosenAre({DeviceStatus::UpgradeWait}); }, 60000));
        dialog.OnTick(); // the batch is over: the radios are polled and the upgrade phase begins
        ASSERT_EQ(dialog.Run()->phase(), UpgradeRun::Phase::Upgrade);
        EXPECT_EQ(statusOf(other), ToQString(StatusText(DeviceStatus::BridgeFail)))
            << "every ticked row follows the store";
        // The radios flash when polled and report success after their reboot.
        EXPECT_TRUE(QTest::qWaitFor([&] { return chosenAre({DeviceStatus::UpgradeSuccess}); }, 20000));
        while (dialog.Run()->Position() < UpgradeRun::FirstPassTick() - 1) {
            dialog.OnTick();
        }
        dialog.OnTick(); // the first search, and the upgraded radios are asked for their details
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                for (const auto& [mac, radio] : radios) {
                    ap_info_stu stored{};
                    pc.Store().GetDevice(mac, stored);
                    if (radio.model == kChosenModel && stored.device_info().version() != "V9") {
                        return false;
                    }
                }
                return true;
            },
            10000));
        while (dialog.isVisible()) {
            dialog.OnTick();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !program.ServerRuns(); }, 10000))
            << "the run's end ends the server";
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page.OnAction();

    int chosen = 0;
    const QString details = page.BatchSummary()->toolTip();
    for (const auto& [mac, radio] : radios) {
        const SimRadio now = SimRadio::Parse(lab.Control("get " + mac));
        const std::string fetches = JsonValue(lab.Control("get " + mac), "upgrade_fetches");
        if (radio.model == kChosenModel) {
            ++chosen;
            EXPECT_EQ(fetches, "1") << mac;
            EXPECT_EQ(now.version, "V9");
            EXPECT_TRUE(details.contains(ToQString(mac + "  " + radio.ip + "  upgraded ")))
                << ToStdString(details);
        } else {
            EXPECT_EQ(fetches, "0") << mac;
            EXPECT_EQ(now.version, radio.version);
            EXPECT_TRUE(details.contains(ToQString(mac + "  " + radio.ip + "  not this type")))
                << ToStdString(details);
        }
    }
    EXPECT_EQ(ToStdString(page.BatchSummary()->text()),
              "Device upgrade: " + std::to_string(chosen) + " upgraded");
    EXPECT_TRUE(page.ReloadTimer().isActive());
    EXPECT_FALSE(program.ServerRuns());
}

// The server is started through a launcher that, like a password prompt, takes its time: it brings the
// real Relayd up only once the test opens its gate. Until the server answers, no radio is sent anything;
// then every radio fetches its image at the first try.
TEST(UpgradePageLab, NoRadioIsSentTheUpgradeUntilTheServerStartedThroughASlowLauncherAnswers) {
    Lab lab({.radios = 2,
             .subnets = 1,
             .simArgs = {"--models", "258", "--flash-ms", "300", "--reboot-ms", "800"}});
    SKIP_WITHOUT_LAB(lab);
    LoadProgramTexts();
    InPcNamespace inside(lab);
    ASSERT_TRUE(inside.Ok());
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(2));
    const SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    AppContext app{pc.Engine(), pc.Store(), GlobalSettings(), skin};
    RecordingNavigation navigation;

    ProgramWithServer program;
    const auto launched = program.Path() / "launched";
    const auto gate = program.Path() / "gate";
    const std::string launcher =
        program
            .Write("service/slow-launcher", "#!/bin/sh\ntouch " + ShellQuote(launched.string()) +
                                                "\nwhile [ ! -e " + ShellQuote(gate.string()) +
                                                " ]; do sleep 0.1; done\nexec \"$@\"\n")
            .string();
    std::filesystem::permissions(launcher, std::filesystem::perms::owner_all);
    TempDir firmware;
    const std::string image = firmware.Write("V9.bin", std::string(100000, 'f')).string();
    const auto upgradesReceived = [&] {
        int received = 0;
        for (const auto& line : lab.Radios()) {
            received += SimRadio::Parse(lab.Control("get " + JsonValue(line, "mac"))).Received(kUpgrade);
        }
        return received;
    };

    CUpgradeDlg page(PageContext::Of(app, navigation), nullptr);
    page.UseFirmwareServer(program.Dir(), launcher);
    page.show();
    page.RefreshList();
    for (int row = 1; row < page.List().Grid()->GetRowCount(); ++row) {
        page.List().Grid()->SetChecked(row, page.List().ColumnOf(kFieldTick), true);
    }
    QTimer::singleShot(0, [&] {
        CUpgradeConfigDlg& dialog = *page.Dialog();
        FileDialog::setNextFileName(ToQString(image));
        dialog.OnScan();
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(launched); }, 10000));
        // The requests used to leave once the launcher had lived half a second: give it four times that.
        QTest::qWait(2000);
        EXPECT_FALSE(dialog.RunStarted());
        EXPECT_EQ(dialog.ProgressLabel()->text(), TranslateText(kWaitingForLaunchKey));
        EXPECT_TRUE(dialog.CancelButton()->isVisible());
        EXPECT_EQ(upgradesReceived(), 0) << "nothing is sent while the launcher has not brought the server";

        std::ofstream(gate).close(); // the launcher brings the server now
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.RunStarted(); }, 30000));
        dialog.Timer().stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return upgradesReceived() == 2; }, 10000))
            << dialog.Run()->Selected().size() << " ticked, " << lab.Control("list");
        // A radio asked before the server served would fail its fetch.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                for (const auto& line : lab.Radios()) {
                    if (pc.Store().GetDeviceStatus(JsonValue(line, "mac")) != DeviceStatus::UpgradeWait) {
                        return false;
                    }
                }
                return true;
            },
            60000));
        for (const auto& line : lab.Radios()) {
            const std::string mac = JsonValue(line, "mac");
            EXPECT_EQ(JsonValue(lab.Control("get " + mac), "upgrade_fetches"), "1") << mac;
        }
        dialog.OnClose();
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page.OnAction();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program.ServerRuns(); }, 10000));
}

} // namespace
} // namespace rf::test
