// The status page decides by its row records, keeps an edit through reloads, stays on a page that exists,
// runs one batch at a time and tells how each batch ended.
#include "StatusFixture.h"

#include "bridge/BridgeSetMultiDlg.h"
#include "operations/OperationCatalogue.h"
#include "protocol/DeviceNameBlock.h"
#include "ui/TMultiPages.h"

#include <QKeyEvent>

namespace rf::test {
namespace {

TEST_F(StatusPageTest, DecisionsReadTheRowRecordsWhateverTheCellsShow) {
    Store({.index = 1, .model = 4});   // no transparent bridge
    Store({.index = 2, .model = 257}); // configurable
    List().Reload(1);
    for (int row = 1; row <= 2; ++row) {
        Grid().SetChecked(row, kFieldTick, true);
        // What a translation, a model text or another column order could put into the cells.
        for (const int column : {kFieldType, kFieldIp, kFieldMac, kFieldBridge}) {
            Grid().SetCellText(row, column, QStringLiteral("N/A"));
        }
    }
    const auto all = List().CollectSelectedDevices();
    ASSERT_EQ(all.size(), 2u);
    const auto configurable = List().CollectSelectedDevices(kTransparentBridgeEntry.takes);
    ASSERT_EQ(configurable.size(), 1u);
    EXPECT_EQ(configurable[0].Mac(), MacOf(2));
    EXPECT_EQ(configurable[0].Ip(), IpOf(2));
    EXPECT_EQ(configurable[0].model, 257);

    Q_EMIT Grid().cellClicked(List().RowOfDevice(MacOf(2)), kFieldOperate);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(ToQString("http://" + IpOf(2) + "/")))
        << "the web button takes the record's address";
}

TEST_F(StatusPageTest, APagePastTheLastShowsTheLastPageThatExists) {
    for (int i = 1; i <= 35; ++i) {
        Store({.index = i});
    }
    List().PageSizeBox()->setCurrentIndex(0); // 15 per page: three pages
    List().Reload(3);
    ASSERT_EQ(List().CurrentPage(), 3);
    for (int i = 20; i <= 35; ++i) {
        h.engine.store.DeleteDevice(MacOf(i)); // aged out while the user looked at page 3
    }
    List().ReloadCurrentPage();
    EXPECT_EQ(List().CurrentPage(), 2);
    EXPECT_EQ(Grid().GetRowCount() - 1, 4) << "devices 16-19";
    EXPECT_EQ(List().Strip()->CurrentPage(), 2);
}

class RenameEdit : public StatusPageTest {
protected:
    RenameEdit() {
        Store({.index = 1, .name = "North"});
        Store({.index = 2, .name = "South"});
        List().Reload(1);
    }
    QLineEdit* Edit(int index, const QString& name) {
        ClickCell(List().RowOfDevice(MacOf(index)), kFieldLocation);
        QLineEdit* editor = page->RenameEditor();
        if (editor != nullptr) {
            editor->setText(name);
        }
        return editor;
    }
    int NamesSent() { return h.engine.sender->Count(MessageType::SetName); }
};

TEST_F(RenameEdit, AReloadKeepsTheEditOpenOverItsDevice) {
    QLineEdit* editor = Edit(1, QStringLiteral("North-2"));
    ASSERT_NE(editor, nullptr);
    Store({.index = 0, .name = "First"}); // a new device sorts in front: the edited one moves a row down
    List().ReloadCurrentPage();
    ASSERT_EQ(page->RenameEditor(), editor) << "the 30-second refresh does not drop the edit";
    EXPECT_EQ(editor->text(), QStringLiteral("North-2"));
    EXPECT_EQ(editor->geometry(), Grid().CellRect(List().RowOfDevice(MacOf(1)), kFieldLocation));

    h.engine.store.DeleteDevice(MacOf(1));
    List().ReloadCurrentPage();
    EXPECT_EQ(page->RenameEditor(), nullptr) << "the device left the list";
    EXPECT_EQ(NamesSent(), 0);
}

TEST_F(RenameEdit, EscapeCancelsAndAClickOnAnotherNameCommitsTheFirst) {
    QLineEdit* editor = Edit(1, QStringLiteral("North-2"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(page->RenameEditor(), nullptr);
    EXPECT_EQ(Cell(List().RowOfDevice(MacOf(1)), kFieldLocation), QStringLiteral("North"));
    EXPECT_EQ(NamesSent(), 0);

    ASSERT_NE(Edit(1, QStringLiteral("North-3")), nullptr);
    Q_EMIT Grid().cellClicked(List().RowOfDevice(MacOf(2)), kFieldLocation);
    ASSERT_NE(page->RenameEditor(), nullptr) << "the second name is being edited";
    FinishBatch();
    const auto sent = h.engine.sender->All();
    ASSERT_FALSE(sent.empty()) << "the first edit was sent, not lost";
    EXPECT_EQ(MacBytesToText(sent.front().header.mac), MacOf(1));
    EXPECT_EQ(DeviceNameBlock::FromBytes(sent.front().payload).ap_name(), "North-3");
}

TEST_F(StatusPageTest, OneBatchAtATimeAndItsOutcomeStandsBesideTheButtons) {
    Store({.index = 1, .bridge = 1});
    Store({.index = 2, .bridge = 1});
    List().Reload(1);
    for (int row = 1; row <= 2; ++row) {
        Grid().SetChecked(row, kFieldTick, true);
    }
    WithNextDialog<CBridgeSetMultiDlg>([](CBridgeSetMultiDlg& d) {
        QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("bridgeSave")), Qt::LeftButton);
    });
    QTest::mouseClick(page->SetBridgeButton(), Qt::LeftButton);
    ASSERT_TRUE(page->BatchRunning()) << "nobody has answered yet";

    MessageBox::setNextAnswer(MessageBox::Ok);
    const int boxes = MessageBox::count();
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    EXPECT_EQ(MessageBox::count(), boxes + 1);
    EXPECT_EQ(MessageBox::lastText(),
              TranslateText("Please wait until the devices have answered the last request!"));
    EXPECT_TRUE(page->BatchRunning()) << "the running batch goes on";

    FinishBatch();
    const QString summary = page->BatchSummary()->text();
    EXPECT_EQ(summary, TranslateText("Set Bridge") + QStringLiteral(": 2 ") + TranslateText("no answer"));
    EXPECT_TRUE(page->BatchSummary()->toolTip().contains(ToQString(MacOf(1))));
    EXPECT_TRUE(page->BatchSummary()->toolTip().contains(ToQString(MacOf(2))));

    MessageBox::setNextAnswer(MessageBox::Ok);
    Grid().SetChecked(1, kFieldTick, false);
    Grid().SetChecked(2, kFieldTick, false);
    QTest::mouseClick(page->SetIpButton(), Qt::LeftButton);
    EXPECT_TRUE(page->BatchSummary()->text().isEmpty()) << "the next action clears it";
}

} // namespace
} // namespace rf::test
