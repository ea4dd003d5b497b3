// The reboot and restore pages against simulated radios: ticked radios restart, an access point ahead of
// the station bridged to it, a radio that never answers is named in the summary, and a restored radio
// comes back as it left the factory.
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "pages/DeviceList.h"
#include "pages/RebootDlg.h"
#include "pages/RestoreDlg.h"
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

#include <functional>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

// A lab whose radios the PC's engine has all found, and a restart page on that engine.
class RestartPageInLab {
public:
    explicit RestartPageInLab(int radios)
        : lab_({.radios = radios, .subnets = 1, .simArgs = {"--reboot-ms", "3000"}}) {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    }

    Lab& TheLab() { return lab_; }
    EngineInLab& Pc() { return *pc_; }

    // Starts the engine and waits until every radio is online.
    void FindAll(int radios) {
        pc_ = std::make_unique<EngineInLab>(lab_, 1);
        ASSERT_TRUE(pc_->Start());
        for (int second = 0; second < 30 && pc_->OnlineCount() < radios; ++second) {
            pc_->Engine().SearchDevices();
            WaitFor([&] { return pc_->OnlineCount() >= radios; }, 1s);
        }
        ASSERT_EQ(pc_->OnlineCount(), radios);
        skin_ = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
        app_ = std::make_unique<AppContext>(AppContext{pc_->Engine(), pc_->Store(), GlobalSettings(), skin_});
    }

    template <typename Page> Page& Open() {
        auto page = std::make_unique<Page>(PageContext::Of(*app_, navigation_), nullptr);
        Page& shown = *page;
        page_ = std::move(page);
        page_->resize(1000, 600);
        page_->show();
        page_->RefreshList();
        return shown;
    }

    CGridCtrl& Grid() { return *page_->List().Grid(); }
    void Tick(const std::string& mac) {
        Grid().SetChecked(page_->List().RowOfDevice(mac), page_->List().ColumnOf(kFieldTick), true);
    }
    QString Status(const std::string& mac) {
        return Grid().GetCellText(page_->List().RowOfDevice(mac), page_->List().StatusColumn());
    }
    SimRadio Radio(const std::string& mac) { return SimRadio::Parse(lab_.Control("get " + mac)); }

    // Presses the page's button, confirms, runs duringWait inside the wait dialog, closes the wait and
    // lets the batch end.
    void RunBatch(const std::function<void()>& duringWait) {
        QTimer::singleShot(0, [&] {
            CWaitDlg* wait = page_->WaitDialog();
            EXPECT_NE(wait, nullptr);
            duringWait();
            if (wait != nullptr) {
                wait->accept();
            }
        });
        MessageBox::setNextAnswer(MessageBox::Ok);
        page_->OnAction();
        EXPECT_TRUE(WaitFor(
            [&] {
                QCoreApplication::processEvents();
                return !page_->BatchRunning();
            },
            60s));
        QCoreApplication::processEvents();
    }
    QString Summary() const { return page_->BatchSummary()->text(); }

private:
    Lab lab_;
    std::unique_ptr<EngineInLab> pc_;
    SkinPaths skin_;
    std::unique_ptr<AppContext> app_;
    RecordingNavigation navigation_;
    std::unique_ptr<CRestartPageDlg> page_;
};

TEST(RestartLab, TickedRadiosRestartAndASilentOneIsNamedNotReached) {
    RestartPageInLab lab(3);
    SKIP_WITHOUT_LAB(lab.TheLab());
    lab.FindAll(3);
    const auto radios = SimRadios(lab.TheLab());
    ASSERT_EQ(radios.size(), 3u);
    const std::string silent = radios[2].mac;
    ASSERT_EQ(lab.TheLab().Control("mute " + silent + " 1"), "ok\n");

    lab.Open<CRebootDlg>();
    ASSERT_EQ(lab.Grid().GetRowCount(), 4);
    for (const SimRadio& radio : radios) {
        lab.Tick(radio.mac);
    }
    lab.RunBatch([&] {
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(WaitFor([&] { return lab.Radio(radios[i].mac).state == "rebooting"; }, 10s))
                << radios[i].mac;
        }
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return lab.Status(radios[0].mac) == QStringLiteral("Restarting"); }, 5000))
            << "the status tick shows what the store holds";
        EXPECT_EQ(lab.Status(silent), QStringLiteral("Online"));
    });
    EXPECT_EQ(lab.Summary(), QStringLiteral("Reboot: 2 verified, 1 no answer (not reached: ") +
                                 ToQString(silent) + QStringLiteral(")"));
}

TEST(RestartLab, AnAccessPointRestartsAheadOfTheStationBridgedToItWhateverTheRowOrder) {
    constexpr int kRadios = 10;
    RestartPageInLab lab(kRadios);
    SKIP_WITHOUT_LAB(lab.TheLab());
    lab.FindAll(kRadios);
    const auto radios = SimRadios(lab.TheLab());
    std::optional<SimRadio> accessPoint;
    std::optional<SimRadio> station;
    for (const SimRadio& candidate : radios) {
        for (const SimRadio& ap : radios) {
            if (!station && candidate.workMode == 2 && ap.workMode == 1 &&
                JsonValue(lab.TheLab().Control("get " + candidate.mac), "bridge_mac") == ap.ssidMac) {
                station = candidate;
                accessPoint = ap;
            }
        }
    }
    ASSERT_TRUE(station && accessPoint) << "the lab's radios include a station bridged to an access point";

    CRebootDlg& page = lab.Open<CRebootDlg>();
    // The station's row first: the order of the requests must not follow the rows.
    const int ipColumn = page.List().ColumnOf(kFieldIp);
    page.List().ReloadDeviceList(1, true, ipColumn, "");
    if (page.List().RowOfDevice(station->mac) > page.List().RowOfDevice(accessPoint->mac)) {
        page.List().ReloadDeviceList(1, false, ipColumn, "");
    }
    ASSERT_LT(page.List().RowOfDevice(station->mac), page.List().RowOfDevice(accessPoint->mac));
    lab.Tick(station->mac);
    lab.Tick(accessPoint->mac);
    lab.RunBatch(
        [&] { EXPECT_TRUE(WaitFor([&] { return lab.Radio(station->mac).state == "rebooting"; }, 10s)); });
    const auto started = [&](const SimRadio& radio) {
        return std::stoll(JsonValue(lab.TheLab().Control("get " + radio.mac), "restart_started_ms"));
    };
    const long long apStarted = started(*accessPoint);
    const long long stationStarted = started(*station);
    ASSERT_GT(apStarted, 0);
    // The station's request leaves 200 ms after the access point's; the radios see each arrive with its own
    // delivery delay (under load the access point's may come a few milliseconds late), while two requests
    // sent back to back arrive within a millisecond or two of each other.
    EXPECT_GE(stationStarted - apStarted, 100)
        << "access point at " << apStarted << ", station at " << stationStarted;
    EXPECT_EQ(lab.Summary(), QStringLiteral("Reboot: 2 verified"));
}

TEST(RestartLab, ARestoredRadioComesBackWithItsFactoryNameAndAddress) {
    RestartPageInLab lab(2);
    SKIP_WITHOUT_LAB(lab.TheLab());
    lab.FindAll(2);
    const SimRadio factory = SimRadios(lab.TheLab()).front();

    // Renamed in the field first.
    std::stop_source stop;
    const BatchPlan rename =
        PlanRename(SelectedDevice::Make(factory.ip, factory.mac, factory.model), "Renamed-in-field");
    ASSERT_TRUE(RunBatch(lab.Pc().Engine(), lab.Pc().Store(), rename, stop.get_token()).AllSucceeded());
    ASSERT_TRUE(WaitFor([&] { return lab.Radio(factory.mac).name == "Renamed-in-field"; }, 10s));

    lab.Open<CRestoreDlg>();
    lab.Tick(factory.mac);
    lab.RunBatch(
        [&] { EXPECT_TRUE(WaitFor([&] { return lab.Radio(factory.mac).state == "rebooting"; }, 10s)); });
    const SimRadio restored = lab.Radio(factory.mac);
    EXPECT_EQ(restored.name, factory.name);
    EXPECT_EQ(restored.ip, factory.ip);
    EXPECT_EQ(JsonValue(lab.TheLab().Control("get " + factory.mac), "restores"), "1");
    // Back from its restart, the radio reports its factory name to the engine.
    EXPECT_TRUE(WaitFor(
        [&] {
            lab.Pc().Engine().SearchDevices();
            ap_info_stu stored;
            return lab.Pc().Store().GetDevice(factory.mac, stored) &&
                   stored.device_info().ap_name() == factory.name;
        },
        30s));
}

} // namespace
} // namespace rf::test
