// The device status page over a recording engine: list, paging, sorting, search cycle and rename.
#include "StatusFixture.h"

#include "app/ChildDlg.h"
#include "app/MenuDlg.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceNameBlock.h"
#include "rules/DeviceRules.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TMultiPages.h"
#include "ui/TPicture.h"

#include <QComboBox>
#include <QLineEdit>

namespace rf::test {
namespace {

void Announce(CNetManagement& engine, int index, const std::string& ssid = "") {
    AnnounceRecord record;
    record.set_version("V9.9");
    record.set_ssid(ssid);
    engine.OnAnnounce(FromDevice(IpOf(index), MessageType::Search, MacOf(index), record.bytes(), 2, 9785));
}

TEST_F(StatusPageTest, PageTwoContinuesTheSerialsAndAnnouncedDevicesFillOnlyTheLastPage) {
    for (int i = 1; i <= 31; ++i) {
        Store({.index = i});
    }
    Announce(h.engine.engine, 90);
    Announce(h.engine.engine, 91, "Yard");
    List().Reload(1);
    EXPECT_EQ(Grid().GetRowCount(), 31) << "30 rows and the header";
    EXPECT_EQ(List().Strip()->PageCount(), 2);
    EXPECT_EQ(RowOf(MacOf(90)), -1) << "page 1 shows no announced device";
    EXPECT_EQ(List().OnlineLabel()->text(), QStringLiteral("Online devices: 31"));

    page->ShowListPage(2);
    ASSERT_EQ(Grid().GetRowCount(), 4);
    EXPECT_EQ(Cell(1, kFieldSerial), QStringLiteral("31"));
    EXPECT_EQ(Cell(2, kFieldSerial), QStringLiteral("32"));
    EXPECT_EQ(List().Strip()->CurrentPage(), 2);
    const int bare = RowOf(MacOf(90));
    const int withSsid = RowOf(MacOf(91));
    ASSERT_GT(bare, 1);
    ASSERT_GT(withSsid, 1);
    const Settings& s = GlobalSettings();
    EXPECT_EQ(Grid().GetCellTextColour(1, kFieldMac), ToQColor(s.gridTextColor));
    EXPECT_EQ(Grid().GetCellTextColour(bare, kFieldMac), ToQColor(s.textUnlineColor));
    EXPECT_EQ(Grid().GetCellData(bare, kFieldSerial), ToCode(DeviceStatus::Announced));
    EXPECT_TRUE(Cell(bare, kFieldSsid).isEmpty());
    EXPECT_EQ(Cell(withSsid, kFieldSsid), QStringLiteral("Yard"));
    EXPECT_EQ(Grid().GetCellImage(1, kFieldOperate), 0) << "stored rows show the web button";
    EXPECT_EQ(Grid().GetCellImage(bare, kFieldOperate), -1);

    Q_EMIT Grid().cellClicked(bare, kFieldOperate);
    Q_EMIT Grid().cellClicked(bare, kFieldLocation);
    EXPECT_TRUE(opened.empty()) << "an announced device has no web page yet";
    EXPECT_EQ(page->RenameEditor(), nullptr) << "nor a name to edit";
    Q_EMIT Grid().cellClicked(1, kFieldOperate);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("http://") + Cell(1, kFieldIp) + QStringLiteral("/")));
}

TEST_F(StatusPageTest, HeaderClicksSortOnceAscendingThenReverseAndPagingKeepsTheOrder) {
    // MACs ascend with the index, SSIDs descend: the two orders are opposite.
    for (int i = 1; i <= 20; ++i) {
        Store({.index = i, .ssid = "ssid-" + std::string(1, static_cast<char>('z' - i))});
    }
    List().PageSizeBox()->setCurrentIndex(0); // 15 per page
    List().Reload(1);
    EXPECT_EQ(List().SortColumn(), kFieldIp);
    EXPECT_FALSE(Grid().SortAscending()) << "the first load is descending by IP";

    ClickCell(0, kFieldMac);
    std::vector<QString> macs = Column(kFieldMac);
    ASSERT_EQ(macs.size(), 15u);
    EXPECT_TRUE(std::is_sorted(macs.begin(), macs.end()));
    EXPECT_EQ(macs.front(), ToQString(MacOf(1)));
    EXPECT_EQ(Grid().SortColumn(), kFieldMac);
    EXPECT_TRUE(Grid().SortAscending());

    page->ShowListPage(2);
    const std::vector<QString> second = Column(kFieldMac);
    ASSERT_EQ(second.size(), 5u);
    EXPECT_TRUE(std::is_sorted(second.begin(), second.end()));
    EXPECT_GT(second.front(), macs.back()) << "page 2 goes on where page 1 ended";
    List().ReloadCurrentPage();
    EXPECT_EQ(Column(kFieldMac), second);

    const bool flag = List().Ascending();
    for (int column : {kFieldSerial, kFieldOperate}) {
        Q_EMIT Grid().cellClicked(0, column);
        EXPECT_EQ(Column(kFieldMac), second) << column;
        EXPECT_EQ(List().Ascending(), flag) << column;
    }

    ClickCell(0, kFieldSsid);
    const std::vector<QString> ssids = Column(kFieldSsid);
    EXPECT_TRUE(std::is_sorted(ssids.rbegin(), ssids.rend())) << "descending";
    EXPECT_EQ(Cell(1, kFieldSsid), QStringLiteral("ssid-y"));
    EXPECT_FALSE(Grid().SortAscending());
    EXPECT_EQ(List().CurrentPage(), 1);
}

TEST_F(StatusPageTest, AddressesSortAsWholeAddressesOverSeveralSubnets) {
    const std::vector<QString> ips{QStringLiteral("10.99.1.2"), QStringLiteral("10.98.3.1"),
                                   QStringLiteral("10.99.1.1"), QStringLiteral("10.98.3.200")};
    for (size_t i = 0; i < ips.size(); ++i) {
        ap_info_stu device = MakeDevice({.index = static_cast<int>(i) + 1});
        DeviceInfo info = device.device_info();
        info.set_ip(IpTextToBytes(ToStdString(ips[i])));
        device.set_device_info(info);
        h.engine.store.SaveDeviceInfo(device);
    }
    List().Reload(1);
    const std::vector<QString> descending{ips[0], ips[2], ips[3], ips[1]};
    EXPECT_EQ(Column(kFieldIp), descending);
    ClickCell(0, kFieldIp);
    EXPECT_EQ(Column(kFieldIp), std::vector<QString>(descending.rbegin(), descending.rend()));
}

TEST_F(StatusPageTest, TickAllAndTheFilterNarrowTheList) {
    for (int i = 1; i <= 4; ++i) {
        Store({.index = i, .name = i == 3 ? "Silo-North" : "Radio"});
    }
    List().Reload(1);
    ClickCell(0, kFieldTick);
    EXPECT_EQ(List().CollectSelectedDevices().size(), 4u);
    ClickCell(0, kFieldTick);
    EXPECT_TRUE(List().CollectSelectedDevices().empty());
    ClickCell(2, kFieldTick);
    const auto one = List().CollectSelectedDevices();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Mac(), ToStdString(Cell(2, kFieldMac)));
    EXPECT_EQ(one[0].Ip(), ToStdString(Cell(2, kFieldIp)));
    EXPECT_EQ(one[0].model, 257);

    QTest::keyClicks(List().Filter(), QStringLiteral("north"));
    ASSERT_EQ(Grid().GetRowCount(), 2);
    EXPECT_EQ(Cell(1, kFieldLocation), QStringLiteral("Silo-North"));
}

TEST_F(StatusPageTest, ASearchLocksTheListAndNavigationForThirtySeconds) {
    Store({.index = 1});
    Announce(h.engine.engine, 50);
    QTest::keyClicks(List().Filter(), QStringLiteral("zzz"));
    auto* container = window.Pages();
    auto* menu = window.Menu();
    QTest::mouseClick(page->SearchButton(), Qt::LeftButton);

    EXPECT_TRUE(page->Searching());
    EXPECT_EQ(page->SearchButton()->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(List().FilterText().empty()) << "the filter is emptied";
    EXPECT_TRUE(List().Filter()->text().isEmpty());
    EXPECT_EQ(h.engine.sender->Count(MessageType::Leave, MacOf(50)), 1) << "the announced device is let go";
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), 1u);
    const auto locked = [&](bool on) {
        EXPECT_EQ(List().Filter()->isEnabled(), !on);
        EXPECT_EQ(Grid().isEnabled(), !on);
        EXPECT_EQ(List().PageSizeBox()->isEnabled(), !on);
        EXPECT_EQ(container->AutoRefresh(), !on);
        EXPECT_EQ(page->SearchAnimation()->isVisible(), on);
        for (int id : kMenuPages) {
            EXPECT_EQ(menu->Button(id)->isEnabled(), !on) << id;
        }
    };
    locked(true);
    EXPECT_TRUE(page->SearchTimer().isActive());
    EXPECT_EQ(page->SearchTimer().interval(), SearchCycle::kTickMs);

    for (int tick = 1; tick < SearchCycle::kLengthTicks; ++tick) {
        page->OnSearchTick();
    }
    EXPECT_TRUE(page->Searching());
    locked(true);
    EXPECT_EQ(h.engine.sender->SearchTargets().size(), 14u)
        << "at once, every half second for 2 s while no device answers, then every 3 s";
    page->OnSearchTick();
    EXPECT_FALSE(page->Searching());
    EXPECT_FALSE(page->SearchTimer().isActive());
    EXPECT_EQ(page->SearchButton()->text(), QStringLiteral("Search"));
    locked(false);

    QTest::mouseClick(page->SearchButton(), Qt::LeftButton);
    QTest::mouseClick(page->SearchButton(), Qt::LeftButton);
    EXPECT_FALSE(page->Searching()) << "Stop ends it at once";
    locked(false);
}

class Rename : public StatusPageTest {
protected:
    Rename() {
        Store({.index = 1, .model = 4, .name = "Strict"});
        Store({.index = 2, .model = 257, .name = "Loose"});
        List().Reload(1);
    }
    // Types a new name into the Location cell of the device and ends the edit with Enter.
    void RenameTo(int index, const QString& name) {
        const int row = RowOf(MacOf(index));
        ASSERT_GT(row, 0);
        ClickCell(row, kFieldLocation);
        QLineEdit* editor = page->RenameEditor();
        ASSERT_NE(editor, nullptr);
        editor->setText(name);
        QTest::keyClick(editor, Qt::Key_Return);
        FinishBatch();
    }
    // The names sent to the device, its resends of the same name counted once.
    std::vector<std::string> SentNames(int index) {
        std::vector<std::string> names;
        for (const auto& s : h.engine.sender->All()) {
            if (s.header.messageType() == MessageType::SetName &&
                MacBytesToText(s.header.mac) == MacOf(index)) {
                const std::string name = DeviceNameBlock::FromBytes(s.payload).ap_name();
                if (names.empty() || names.back() != name) {
                    names.push_back(name);
                }
            }
        }
        return names;
    }
};

TEST_F(Rename, ASpaceIsRefusedOnStrictModelsOnly) {
    MessageBox::setNextAnswer(MessageBox::Ok);
    int boxes = MessageBox::count();
    RenameTo(1, QStringLiteral("Mast 7"));
    EXPECT_EQ(MessageBox::count(), boxes + 1);
    EXPECT_EQ(MessageBox::lastText(), TranslateText(kStrictNameMessage));
    ASSERT_NE(page->RenameEditor(), nullptr) << "the refused name stays in the editor to be mended";
    EXPECT_EQ(page->RenameEditor()->text(), QStringLiteral("Mast 7"));
    MessageBox::setNextAnswer(MessageBox::Ok);
    ClickCell(RowOf(MacOf(2)), kFieldLocation);
    EXPECT_EQ(MessageBox::count(), boxes + 2) << "leaving it for another cell is refused again";
    ASSERT_NE(page->RenameEditor(), nullptr);
    QTest::keyClick(page->RenameEditor(), Qt::Key_Escape);
    EXPECT_EQ(page->RenameEditor(), nullptr);
    EXPECT_EQ(Cell(RowOf(MacOf(1)), kFieldLocation), QStringLiteral("Strict"));
    EXPECT_TRUE(SentNames(1).empty());
    boxes += 1;

    RenameTo(2, QStringLiteral("Mast 7"));
    EXPECT_EQ(MessageBox::count(), boxes + 1) << "no message";
    EXPECT_EQ(SentNames(2), std::vector<std::string>{"Mast 7"});
    EXPECT_TRUE(page->ReloadTimer().isActive()) << "the list is read again 2 s later";
    // Nothing here answers a rename: read again, the list shows the name the device still holds.
    List().Reload(1);
    EXPECT_EQ(Cell(RowOf(MacOf(2)), kFieldLocation), QStringLiteral("Loose"));
}

TEST_F(Rename, ThirtyTwoBytesFitThirtyThreeDoNot) {
    const QString eleven(11, QChar(0x5854));
    MessageBox::setNextAnswer(MessageBox::Ok);
    RenameTo(2, eleven);
    EXPECT_EQ(MessageBox::lastText(), TranslateText(kLooseNameMessage));
    EXPECT_TRUE(SentNames(2).empty());
    ASSERT_NE(page->RenameEditor(), nullptr);
    QTest::keyClick(page->RenameEditor(), Qt::Key_Escape);

    const QString tenAndTwo = QString(10, QChar(0x5854)) + QStringLiteral("ab");
    RenameTo(2, tenAndTwo);
    const auto sent = SentNames(2);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], tenAndTwo.toStdString()) << "UTF-8 on the wire";
    EXPECT_EQ(sent[0].size(), 32u);
}

TEST_F(Rename, AnEmptiedCellGetsItsNameBackAndNothingIsSent) {
    const int boxes = MessageBox::count();
    RenameTo(2, QString());
    EXPECT_EQ(Cell(RowOf(MacOf(2)), kFieldLocation), QStringLiteral("Loose"));
    RenameTo(2, QStringLiteral("Loose"));
    EXPECT_TRUE(SentNames(2).empty());
    EXPECT_EQ(MessageBox::count(), boxes);
    EXPECT_FALSE(page->ReloadTimer().isActive());
}

} // namespace
} // namespace rf::test
