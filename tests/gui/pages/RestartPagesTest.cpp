// The reboot and restore pages over an engine that sends into a recorder: what they refuse, the order of
// their requests, the wait with its status tick, and the summary line.
#include "RowMenu.h"
#include "StatusFixture.h"

#include "pages/RebootDlg.h"
#include "pages/RestoreDlg.h"
#include "protocol/AnnounceRecord.h"
#include "shell/WaitDlg.h"

#include <QMessageBox>
#include <QPushButton>

namespace rf::test {
namespace {

struct PageKind {
    bool reboot;
    MessageType request;
    const char* action;
    const char* confirm;
    const char* ackStatus; // what a device that accepted the request shows
    int searches;
};

void PrintTo(const PageKind& kind, std::ostream* out) {
    *out << kind.action;
}

const PageKind kReboot{true, MessageType::Reboot, "Reboot", "Are you sure you want to restart?", "Restarting",
                       3};
const PageKind kRestore{false,       MessageType::Restore,
                        "Restore",   "Reset this device to factory settings? Its settings will be erased.",
                        "Resetting", 5};

class RestartPageTest : public ::testing::TestWithParam<PageKind> {
protected:
    RestartPageTest() {
        if (GetParam().reboot) {
            page = new CRebootDlg(h.pageContext, nullptr);
        } else {
            page = new CRestoreDlg(h.pageContext, nullptr);
        }
        page->resize(1000, 600);
        page->show();
    }
    ~RestartPageTest() override { delete page; }

    void Store(const DeviceSpec& wanted) { h.engine.store.SaveDeviceInfo(MakeDevice(wanted)); }
    // Device `station` is a station bridged to device `accessPoint`.
    void StoreBridged(int accessPoint, int station) {
        const MacAddress radio = MacTextToBytes("0a:00:00:00:00:aa");
        ap_info_stu ap = MakeDevice({.index = accessPoint});
        DeviceInfo apInfo = ap.device_info();
        apInfo.set_ssid_mac(radio);
        h.engine.store.SaveDeviceInfo(ApInfo::Make(ap.mac(), 257, DeviceStatus::Online, apInfo));
        ap_info_stu sta = MakeDevice({.index = station, .workMode = 2});
        DeviceInfo staInfo = sta.device_info();
        staInfo.set_bridge_mac(radio);
        h.engine.store.SaveDeviceInfo(ApInfo::Make(sta.mac(), 257, DeviceStatus::Online, staInfo));
    }
    CGridCtrl& Grid() { return *page->List().Grid(); }
    void Tick(int index) { Grid().SetChecked(page->List().RowOfDevice(MacOf(index)), kFieldTick, true); }
    QString StatusCell(int index) {
        return Grid().GetCellText(page->List().RowOfDevice(MacOf(index)), page->List().StatusColumn());
    }
    std::vector<std::string> RequestsSent() {
        std::vector<std::string> macs;
        for (const auto& s : h.engine.sender->All()) {
            if (!s.search && s.header.messageType() == GetParam().request) {
                macs.push_back(MacBytesToText(s.header.mac));
            }
        }
        return macs;
    }
    void Answer(int index, uint8_t result = 0) {
        h.engine.engine.DispatchReply(
            FromDevice(IpOf(index), GetParam().request, MacOf(index), std::vector<uint8_t>{result}));
    }
    // Runs work inside the wait dialog once it is up; the dialog is closed afterwards whatever work did.
    void DuringWait(std::function<void(CWaitDlg&)> work) {
        QTimer::singleShot(0, [this, work] {
            CWaitDlg* wait = page->WaitDialog();
            EXPECT_NE(wait, nullptr);
            if (wait != nullptr) {
                work(*wait);
                if (wait->isVisible()) {
                    wait->accept();
                }
            }
        });
    }
    void FinishBatch() {
        EXPECT_TRUE(WaitFor([&] {
            h.engine.DropUnanswered();
            return !page->BatchRunning();
        }));
        page->FinishWorkers();
        QCoreApplication::processEvents();
    }

    AppHarness h;
    CRestartPageDlg* page = nullptr;
};

TEST_P(RestartPageTest, TheListShowsStoredDevicesWithTheirStatusAndNoAnnouncedOnes) {
    Store({.index = 1});
    Store({.index = 2});
    h.engine.store.SetDeviceStatus(MacOf(2), DeviceStatus::Outline);
    AnnounceRecord record;
    record.set_version("V9.9");
    h.engine.engine.OnAnnounce(FromDevice(IpOf(9), MessageType::Search, MacOf(9), record.bytes(), 2, 9785));
    page->RefreshList();
    EXPECT_EQ(Grid().GetRowCount(), 3) << "the announced device is not listed";
    // The restore page also shows each device's transmit power, before its status.
    std::vector<std::string> headers;
    for (int column = 0; column < Grid().GetColumnCount(); ++column) {
        headers.push_back(Grid().GetCellText(0, column).toStdString());
    }
    std::vector<std::string> expected{"",    "Serial",        "Location", "Type",    "IP",
                                      "MAC", "OperationMode", "SSID",     "Channel", "SecureMode"};
    if (!GetParam().reboot) {
        expected.emplace_back("Power");
    }
    expected.emplace_back("Status");
    for (std::string& key : expected) {
        key = TranslateText(key).toStdString();
    }
    EXPECT_EQ(headers, expected);
    EXPECT_EQ(StatusCell(1), QStringLiteral("Online"));
    EXPECT_EQ(StatusCell(2), QStringLiteral("Offline"));
    EXPECT_EQ(page->ActionButton()->text(), QString::fromUtf8(GetParam().action));
}

TEST_P(RestartPageTest, NothingTickedOrCancelSendsNothing) {
    Store({.index = 1});
    page->RefreshList();
    const int boxes = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    QTest::mouseClick(page->ActionButton(), Qt::LeftButton);
    EXPECT_EQ(MessageBox::count(), boxes + 1);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Please select the devices!"));

    Tick(1);
    MessageBox::setNextAnswer(MessageBox::Cancel);
    page->OnAction();
    EXPECT_EQ(MessageBox::count(), boxes + 2);
    EXPECT_EQ(MessageBox::lastText(), QString::fromUtf8(GetParam().confirm));
    EXPECT_FALSE(page->BatchRunning());
    EXPECT_EQ(page->WaitDialog(), nullptr);
    EXPECT_TRUE(RequestsSent().empty());
}

TEST_P(RestartPageTest, TheRowMenuRunsTheButtonsActionForItsDeviceAlone) {
    for (const int index : {1, 2, 3}) {
        Store({.index = index});
    }
    page->RefreshList();
    Tick(1);
    Tick(2);
    std::vector<std::string> sentInWait; // what had gone out when the wait came up
    DuringWait([&](CWaitDlg& wait) {
        EXPECT_TRUE(WaitFor([&] { return !RequestsSent().empty(); }));
        sentInWait = RequestsSent();
        QTest::keyClick(&wait, Qt::Key_Escape);
        EXPECT_TRUE(wait.isVisible()) << "Escape does not end the wait";
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    const int row = page->List().RowOfDevice(MacOf(3));
    QMenu* menu = OpenRowMenu(Grid(), row);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->findChild<QAction*>(QStringLiteral("menuAction"))->text(),
              TranslateText(GetParam().action));
    Choose(menu, "menuAction");
    EXPECT_EQ(MessageBox::lastText(), QString::fromUtf8(GetParam().confirm)) << "the button's question";
    EXPECT_FALSE(sentInWait.empty());
    FinishBatch();
    for (const std::string& mac : RequestsSent()) {
        EXPECT_EQ(mac, MacOf(3)) << "not the ticked devices";
    }
    EXPECT_TRUE(page->BatchSummary()->text().startsWith(QString::fromUtf8(GetParam().action)));
}

TEST_P(RestartPageTest, OkSendsAccessPointsFirstFollowsTheStoreDuringTheWaitAndSummarises) {
    Store({.index = 1});
    Store({.index = 2});
    StoreBridged(3, 4); // device 3 carries station 4
    page->RefreshList();
    for (const int index : {1, 2, 3, 4}) {
        Tick(index);
    }
    const std::string ack = GetParam().ackStatus;
    int searchesInWait = 0;
    DuringWait([&](CWaitDlg& wait) {
        ASSERT_TRUE(WaitFor([&] { return RequestsSent().size() == 4; }));
        std::vector<std::string> expected{MacOf(3)};
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            if (page->List().Row(row)->mac != MacOf(3)) {
                expected.push_back(page->List().Row(row)->mac);
            }
        }
        EXPECT_EQ(RequestsSent(), expected) << "the access point first, the rest in grid order";
        EXPECT_TRUE(page->StatusTimer().isActive());
        for (const int index : {3, 1, 4}) {
            Answer(index);
        }
        ASSERT_TRUE(
            WaitFor([&] { return h.engine.store.GetDeviceStatus(MacOf(4)) != DeviceStatus::Online; }));
        page->UpdateSelectedStatus(); // what the status timer does once a second
        EXPECT_EQ(StatusCell(1), ToQString(ack));
        EXPECT_EQ(StatusCell(3), ToQString(ack));
        EXPECT_EQ(StatusCell(2), QStringLiteral("Online")) << "device 2 has not answered";
        EXPECT_TRUE(page->BatchSummary()->text().isEmpty()) << "no summary while the user waits";
        const size_t before = h.engine.sender->SearchTargets().size();
        while (wait.isVisible()) {
            wait.OnTick();
        }
        searchesInWait = static_cast<int>(h.engine.sender->SearchTargets().size() - before);
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();

    EXPECT_EQ(searchesInWait, GetParam().searches) << "one adapter: one packet per search";
    EXPECT_FALSE(page->StatusTimer().isActive());
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "the list reloads a second after the wait";
    EXPECT_EQ(page->ReloadTimer().interval(), 1000);
    FinishBatch();
    EXPECT_EQ(page->BatchSummary()->text(), QString::fromUtf8(GetParam().action) +
                                                QStringLiteral(": 3 verified, 1 no answer (not reached: ") +
                                                ToQString(MacOf(2)) + QStringLiteral(")"));
    EXPECT_TRUE(page->BatchSummary()->toolTip().contains(ToQString(MacOf(2))));

    // The reload a second after the wait clears the ticks; the next action clears the line.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->ReloadTimer().isActive(); }));
    EXPECT_EQ(StatusCell(1), ToQString(ack)) << "the reload shows what the store holds";
    EXPECT_FALSE(Grid().IsChecked(1, kFieldTick));
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Please select the devices!"));
    EXPECT_TRUE(page->BatchSummary()->text().isEmpty());
}

TEST_P(RestartPageTest, ANewBatchWhileOneRunsIsRefused) {
    Store({.index = 1});
    page->RefreshList();
    Tick(1);
    DuringWait([&](CWaitDlg& wait) {
        ASSERT_TRUE(WaitFor([&] { return RequestsSent().size() == 1; }));
        wait.accept(); // the user closes the wait before the device answered
    });
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    ASSERT_TRUE(page->BatchRunning());
    page->RefreshList();
    Tick(1);
    MessageBox::setNextAnswer(MessageBox::Ok);
    page->OnAction();
    EXPECT_EQ(MessageBox::lastText(),
              QStringLiteral("Please wait until the devices have answered the last request!"));
    EXPECT_EQ(RequestsSent().size(), 1u);
    FinishBatch();
    EXPECT_EQ(page->BatchSummary()->text(), QString::fromUtf8(GetParam().action) +
                                                QStringLiteral(": 1 no answer (not reached: ") +
                                                ToQString(MacOf(1)) + QStringLiteral(")"))
        << "a batch that outlasts the wait still reports";
}

INSTANTIATE_TEST_SUITE_P(Pages, RestartPageTest, ::testing::Values(kReboot, kRestore),
                         [](const auto& param) { return std::string(param.param.action); });

using RestorePageTest = RestartPageTest;

// The real question box, answered with Enter as a hurried user would.
TEST_P(RestorePageTest, TheQuestionCountsTheDevicesAndEnterErasesNothing) {
    for (const int index : {1, 2, 3}) {
        Store({.index = index});
    }
    page->RefreshList();
    for (const int index : {1, 2, 3}) {
        Tick(index);
    }
    QString asked;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answer.stop();
            asked = box->text();
            EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::Cancel);
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start(0);
    page->OnAction();
    EXPECT_EQ(asked, QStringLiteral("Reset 3 devices to factory settings? Their settings will be erased."));
    EXPECT_FALSE(page->BatchRunning());
    EXPECT_TRUE(RequestsSent().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, RestorePageTest, ::testing::Values(kRestore),
                         [](const auto& param) { return std::string(param.param.action); });

} // namespace
} // namespace rf::test
