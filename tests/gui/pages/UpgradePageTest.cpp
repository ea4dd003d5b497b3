// The upgrade page and its dialog over an engine that sends into a recorder, with a real firmware server
// (a copy of Relayd on a port of the test's own): the checks, the Type list, the phases driven tick by
// tick, the statuses of the ticked rows, the summary, and the server ended however the dialog closes.
#include "StatusFixture.h"

#include "core/OperateSystemInfo.h"
#include "core/ServedFileName.h"
#include "pages/FirmwareServerHost.h"
#include "pages/UpgradeConfigDlg.h"
#include "pages/UpgradeDlg.h"
#include "relayd/FirmwareServer.h"
#include "relayd/ServerReadiness.h"
#include "support/TempDir.h"
#include "ui/FileDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <arpa/inet.h>
#include <filesystem>
#include <sys/socket.h>
#include <unistd.h>

namespace rf::test {
namespace {

// A UDP port that nothing uses now, and a socket holding it when asked to.
uint16_t FreePort(int* holder = nullptr) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof local;
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    if (holder != nullptr) {
        *holder = fd;
    } else {
        ::close(fd);
    }
    return ntohs(local.sin_port);
}

class UpgradePageTest : public ::testing::Test {
protected:
    UpgradePageTest() {
        std::filesystem::create_directory(program.Path() / "service");
        UseServerProgram(std::string(RF_BUNDLE_DIR) + "service/Relayd");
        UsePort(FreePort());
        page = new CUpgradeDlg(h.pageContext, nullptr);
        page->UseFirmwareServer(program.Dir());
        page->resize(1000, 600);
        page->show();
    }
    ~UpgradePageTest() override {
        delete page;
        EXPECT_FALSE(ServerRuns()) << "the page leaves no firmware server behind";
    }

    std::string Server() const { return (program.Path() / "service" / "Relayd").string(); }
    void UseServerProgram(const std::string& path) {
        std::filesystem::copy_file(path, Server(), std::filesystem::copy_options::overwrite_existing);
    }
    void UsePort(uint16_t port) {
        program.Write("service/Relayd.ini", "[SERVER]\nPort=" + std::to_string(port) + "\n");
    }
    bool ServerRuns() const {
        pid_t pid = 0;
        return COperateSystemInfo::FindProcessByPath(Server(), pid);
    }
    void Store(int index, uint16_t model = 257) {
        h.engine.store.SaveDeviceInfo(MakeDevice({.index = index, .model = model}));
    }
    CGridCtrl& Grid() { return *page->List().Grid(); }
    void Tick(int index) { Grid().SetChecked(page->List().RowOfDevice(MacOf(index)), kFieldTick, true); }
    QString StatusCell(int index) {
        return Grid().GetCellText(page->List().RowOfDevice(MacOf(index)), page->List().StatusColumn());
    }
    int UpgradesSent(const std::string& mac = {}) {
        return h.engine.sender->Count(MessageType::Upgrade, mac);
    }
    void Report(int index, uint8_t state, uint16_t model = 257) {
        h.engine.engine.DispatchReply(FromDevice(IpOf(index), MessageType::UpgradeReport, MacOf(index),
                                                 std::vector<uint8_t>{state}, model));
    }
    std::string Firmware(const std::string& name, const std::string& content) {
        return firmware.Write(name, content).string();
    }
    // Runs work inside the dialog once it is up; the dialog is closed afterwards if work left it open.
    void DuringDialog(std::function<void(CUpgradeConfigDlg&)> work) {
        QTimer::singleShot(0, [this, work] {
            CUpgradeConfigDlg* dialog = page->Dialog();
            EXPECT_NE(dialog, nullptr);
            if (dialog != nullptr) {
                work(*dialog);
                if (page->Dialog() != nullptr && dialog->isVisible()) {
                    dialog->OnClose();
                }
            }
        });
    }
    // Picks the file and presses Upgrade (confirmed); true once the run has begun with its ticks in the
    // test's hands.
    bool StartRun(CUpgradeConfigDlg& dialog, const std::string& file) {
        FileDialog::setNextFileName(ToQString(file));
        dialog.OnScan();
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        const bool started = QTest::qWaitFor([&] { return dialog.RunStarted(); }, 10000);
        dialog.Timer().stop();
        return started;
    }

    AppHarness h;
    TempDir program;
    TempDir firmware;
    CUpgradeDlg* page = nullptr;
};

TEST_F(UpgradePageTest, NoneOrElevenTickedIsRefusedAndOpensNothing) {
    for (int i = 1; i <= 11; ++i) {
        Store(i);
    }
    page->RefreshList();
    EXPECT_EQ(Grid().GetColumnCount(), 10);
    EXPECT_EQ(page->List().StatusColumn(), 9);
    EXPECT_EQ(Grid().GetCellText(0, 8), QStringLiteral("Version"));
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Please select the devices!"));
    for (int i = 1; i <= 11; ++i) {
        Tick(i);
    }
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Select at most 10 devices!"));
    EXPECT_FALSE(page->ReloadTimer().isActive()) << "no dialog ran";
    EXPECT_EQ(UpgradesSent(), 0);
}

TEST_F(UpgradePageTest, TypeListFollowsTheTickedRowsAndBadFilesAreRefusedBeforeTheServerStarts) {
    Store(1, 258);
    Store(2, 257);
    Store(3, 258);
    page->RefreshList();
    for (const int i : {1, 2, 3}) {
        Tick(i);
    }
    const std::string mixed = Firmware("fw.Bin", "image");
    const std::string empty = Firmware("empty.bin", "");
    const std::string dots = Firmware("fw..V2.bin", "image");
    std::filesystem::create_symlink(Firmware("V2.bin", "image"), firmware.Path() / "link.bin");
    DuringDialog([&](CUpgradeConfigDlg& dialog) {
        ASSERT_EQ(dialog.TypeBox()->count(), 2);
        std::vector<QString> texts;
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            const QString text = ToQString(ModelText(page->List().Row(row)->model));
            if (std::find(texts.begin(), texts.end(), text) == texts.end()) {
                texts.push_back(text);
            }
        }
        EXPECT_EQ(dialog.TypeBox()->itemText(0), texts[0]) << "in the order of the rows";
        EXPECT_EQ(dialog.TypeBox()->itemText(1), texts[1]);
        EXPECT_FALSE(dialog.Progress()->isVisible());

        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Please select the upgrade file!"));
        FileDialog::setNextFileName(ToQString(mixed));
        dialog.OnScan();
        EXPECT_EQ(dialog.PathField()->text(), ToQString(mixed));
        FileDialog::setNextFileName(QString()); // cancelled: the path stays
        dialog.OnScan();
        EXPECT_EQ(dialog.PathField()->text(), ToQString(mixed));
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        EXPECT_EQ(MessageBox::lastText(), QStringLiteral("The upgrade file is not a .bin file!"));

        for (const auto& [file, message] :
             {std::pair{empty, "The upgrade file is empty!"},
              std::pair{firmware.Dir() + "gone.bin", "The upgrade file cannot be read!"},
              std::pair{dots, kUnservableFileKey},
              std::pair{firmware.Dir() + "link.bin", kUnservableFileKey}}) {
            FileDialog::setNextFileName(ToQString(file));
            dialog.OnScan();
            MessageBox::setNextAnswer(MessageBox::Ok);
            dialog.OnUpgrade();
            EXPECT_EQ(MessageBox::lastText(), QString::fromUtf8(message));
        }
        EXPECT_FALSE(dialog.ServerStarting());
        EXPECT_FALSE(dialog.RunStarted());
        EXPECT_FALSE(ServerRuns());
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(UpgradesSent(), 0);
    EXPECT_TRUE(page->BatchSummary()->text().isEmpty()) << "no run, no summary";
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "the page reloads after the dialog however it closed";
}

TEST_F(UpgradePageTest, AServerThatCannotStartIsReportedAndNothingIsSent) {
    Store(1);
    page->RefreshList();
    Tick(1);
    int holder = -1;
    UsePort(FreePort(&holder)); // another program holds the server's port
    const std::string file = Firmware("V2.bin", "image");
    DuringDialog([&](CUpgradeConfigDlg& dialog) {
        FileDialog::setNextFileName(ToQString(file));
        dialog.OnScan();
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(MessageBox::Ok);
        ASSERT_TRUE(QTest::qWaitFor([&] { return MessageBox::count() > boxes; }, 10000));
        EXPECT_EQ(MessageBox::lastText(), TranslateText("The firmware server could not be started!"));
        EXPECT_FALSE(dialog.RunStarted());
        EXPECT_TRUE(dialog.UpgradeButton()->isVisible()) << "the user may try again";
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    ::close(holder);
    EXPECT_EQ(UpgradesSent(), 0);
    EXPECT_FALSE(ServerRuns());
}

TEST_F(UpgradePageTest,
       OnlyTheChosenTypeIsSentEveryTickedRowFollowsTheStoreAndAllFailedEndsAfterTheTransfer) {
    Store(1, 257);
    Store(2, 258);
    Store(3, 257);
    page->RefreshList();
    for (const int i : {1, 2, 3}) {
        Tick(i);
    }
    h.engine.store.SetDeviceStatus(MacOf(2), DeviceStatus::UpgradeFail); // left from an earlier run
    const std::string file = Firmware("V2.bin", "image");
    const size_t searchesBefore = h.engine.sender->SearchTargets().size();
    DuringDialog([&](CUpgradeConfigDlg& dialog) {
        const int type = dialog.TypeBox()->findText(QStringLiteral("Horsk"));
        ASSERT_GE(type, 0);
        dialog.TypeBox()->setCurrentIndex(type);
        ASSERT_TRUE(StartRun(dialog, file));
        EXPECT_TRUE(ServerRuns());
        ASSERT_TRUE(QTest::qWaitFor([&] { return UpgradesSent() == 2; }));
        EXPECT_EQ(UpgradesSent(MacOf(2)), 0) << "not this type";
        EXPECT_TRUE(dialog.Progress()->isVisible());
        EXPECT_EQ(dialog.ProgressLabel()->text(), QStringLiteral("Upgrade file transfer progress"));
        EXPECT_FALSE(dialog.ScanButton()->isEnabled());

        dialog.OnTick();
        EXPECT_EQ(dialog.Progress()->maximum(), 120);
        EXPECT_EQ(dialog.Progress()->value(), 1);
        EXPECT_EQ(StatusCell(2), QStringLiteral("Upgrade failed")) << "the other type's row follows too";
        Report(1, 1);
        dialog.OnTick();
        EXPECT_EQ(StatusCell(1), QStringLiteral("Upgrade failed"));
        EXPECT_EQ(StatusCell(3), QStringLiteral("Online"));
        Report(3, 1);
        dialog.OnTick(); // the batch is over and every device failed: no upgrade phase
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.Run()->EndedEarly());
        EXPECT_NE(dialog.ProgressLabel()->text(), QStringLiteral("Firmware upgrading progress"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ServerRuns(); }, 10000)) << "the run's end ends the server";
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    std::string failed; // in the order of the rows
    for (int row = 1; row < Grid().GetRowCount(); ++row) {
        const std::string mac = page->List().Row(row)->mac;
        if (mac != MacOf(2)) {
            failed += (failed.empty() ? "" : ", ") + mac;
        }
    }
    EXPECT_EQ(ToStdString(page->BatchSummary()->text()),
              "Device upgrade: 2 upgrade failed; not upgraded: " + failed);
    EXPECT_TRUE(
        page->BatchSummary()->toolTip().contains(ToQString(MacOf(2) + "  " + IpOf(2) + "  not this type")));
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), searchesBefore + 1) << "the page searches once";
    EXPECT_TRUE(page->ReloadTimer().isActive());
    EXPECT_EQ(page->ReloadTimer().interval(), 1000);
}

TEST_F(UpgradePageTest, ClosingInEitherPhaseEndsTheServerAndThePageSearchesAndReloads) {
    Store(1);
    page->RefreshList();
    const std::string file = Firmware("V2.bin", "image");
    for (const bool inUpgradePhase : {false, true}) {
        Tick(1);
        const int sentBefore = UpgradesSent();
        DuringDialog([&](CUpgradeConfigDlg& dialog) {
            ASSERT_TRUE(StartRun(dialog, file));
            ASSERT_TRUE(QTest::qWaitFor([&] { return UpgradesSent() > sentBefore; }));
            if (inUpgradePhase) {
                Report(1, 0);
                dialog.OnTick();
                ASSERT_EQ(dialog.Run()->phase(), UpgradeRun::Phase::Upgrade);
                EXPECT_EQ(h.engine.sender->Count(MessageType::UpgradePoll, MacOf(1)), 1) << "told to flash";
                EXPECT_EQ(dialog.ProgressLabel()->text(), QStringLiteral("Firmware upgrading progress"));
                EXPECT_EQ(dialog.Progress()->maximum(), 130);
            }
            EXPECT_TRUE(ServerRuns());
            QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_TRUE(QTest::qWaitFor([&] { return !ServerRuns(); }, 10000))
                << (inUpgradePhase ? "upgrade phase" : "transfer phase");
        });
        const size_t searches = h.engine.sender->SearchTargets().size();
        MessageBox::setNextAnswer(MessageBox::Ok);
        page->OnAction();
        EXPECT_EQ(h.engine.sender->SearchTargets().size(), searches + 1);
        EXPECT_TRUE(page->ReloadTimer().isActive());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->ReloadTimer().isActive(); }));
        EXPECT_FALSE(Grid().IsChecked(1, kFieldTick)) << "reloaded";
    }
}

// Ending a server that is slow to leave takes seconds; the dialog hands that to the page's server host, so
// it closes, and the page searches and reloads, while the server is still there. The server ends anyway.
// This server never answers either: the dialog is closed while it waits for the server's answer.
TEST_F(UpgradePageTest, ClosingDoesNotWaitForTheServerToLeaveYetTheServerEnds) {
    UseServerProgram(RF_SLOW_TO_LEAVE_SERVER);
    Store(1);
    page->RefreshList();
    Tick(1);
    const std::string file = Firmware("V2.bin", "image");
    int stops = 0;
    QObject::connect(&page->ServerHost(), &CFirmwareServerHost::stopped, page, [&stops] { ++stops; });
    bool runningAfterClose = false;
    DuringDialog([&](CUpgradeConfigDlg& dialog) {
        FileDialog::setNextFileName(ToQString(file));
        dialog.OnScan();
        MessageBox::setNextAnswer(MessageBox::Ok);
        dialog.OnUpgrade();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ServerRuns(); }, 10000));
        QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        runningAfterClose = ServerRuns();
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_TRUE(runningAfterClose) << "the dialog closed before the server had left";
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "the page went on meanwhile";
    EXPECT_TRUE(page->ServerHost().Busy());
    EXPECT_EQ(stops, 0) << "the stop's answer comes as an event, after the page has gone on";
    EXPECT_TRUE(QTest::qWaitFor([&] { return stops == 1; }, 20000));
    EXPECT_FALSE(ServerRuns());
    EXPECT_FALSE(page->ServerHost().Busy());
    EXPECT_EQ(UpgradesSent(), 0);
}

// A server whose program runs but never answers: nothing is sent while the dialog waits for it, Cancel
// gives the wait up, and once the time to answer has passed the dialog says so and the server is ended.
TEST_F(UpgradePageTest, NothingIsSentToAServerThatDoesNotAnswerAndTheWaitEndsByCancelOrWithAMessage) {
    UseServerProgram(RF_SLOW_TO_LEAVE_SERVER);
    page->UseFirmwareServer(program.Dir(), {}, std::chrono::milliseconds(1500));
    Store(1);
    page->RefreshList();
    Tick(1);
    const std::string file = Firmware("V2.bin", "image");
    DuringDialog([&](CUpgradeConfigDlg& dialog) {
        const auto pressUpgrade = [&] {
            FileDialog::setNextFileName(ToQString(file));
            dialog.OnScan();
            MessageBox::setNextAnswer(MessageBox::Ok);
            dialog.OnUpgrade();
        };
        pressUpgrade();
        EXPECT_TRUE(dialog.CancelButton()->isVisible());
        EXPECT_FALSE(dialog.UpgradeButton()->isVisible());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return dialog.ProgressLabel()->text() == TranslateText(kWaitingForAnswerKey); }, 10000))
            << "the program runs and is asked whether it serves";
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.ServerStarting());
        EXPECT_TRUE(dialog.UpgradeButton()->isVisible());
        EXPECT_FALSE(dialog.CancelButton()->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ServerRuns(); }, 20000)) << "cancelled, the server ends";

        pressUpgrade();
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(MessageBox::Ok);
        ASSERT_TRUE(QTest::qWaitFor([&] { return MessageBox::count() > boxes; }, 20000));
        EXPECT_EQ(MessageBox::lastText(), TranslateText(kServerSilentKey));
        EXPECT_FALSE(dialog.RunStarted());
        EXPECT_TRUE(dialog.UpgradeButton()->isVisible()) << "the user may try again";
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ServerRuns(); }, 20000)) << "the silent server is ended";
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(UpgradesSent(), 0);
}

// Answers come back in the order asked, each start with its own ticket, and a stop asked last leaves no
// server behind even when the host is destroyed before it has carried it out.
TEST_F(UpgradePageTest, TheServerHostAnswersInOrderAndEndsTheServerBeforeItGoes) {
    COperateSystemInfo system;
    std::vector<std::string> answers;
    {
        CFirmwareServerHost host(std::make_unique<CFirmwareServer>(system, program.Dir()));
        QObject::connect(&host, &CFirmwareServerHost::started, &host, [&](int ticket, int outcome) {
            const bool ok = outcome == static_cast<int>(CServerReadiness::State::Ready);
            answers.push_back("started " + std::to_string(ticket) + (ok ? " ok" : " failed"));
        });
        QObject::connect(&host, &CFirmwareServerHost::stopped, &host, [&] { answers.push_back("stopped"); });
        const int first = host.Start(firmware.Dir(), {});
        const int second = host.Start(firmware.Dir(), {});
        EXPECT_NE(first, second);
        ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 20000))
            << "each start waits to be served";
        host.Stop();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 3; }, 20000));
        EXPECT_EQ(answers,
                  (std::vector<std::string>{"started " + std::to_string(first) + " ok",
                                            "started " + std::to_string(second) + " ok", "stopped"}));
        EXPECT_FALSE(ServerRuns());
        host.Start(firmware.Dir(), {});
        host.Stop();
    }
    EXPECT_FALSE(ServerRuns()) << "the stop asked last was carried out before the host went";
}

} // namespace
} // namespace rf::test
