// The management page: the Operate button opens the configuration dialog; what Save changed goes out on
// the page's worker, in the dialog's order, with the wait it needs; the list reloads two seconds later.
#include "ManagementRadio.h"
#include "RowMenu.h"

#include "app/ProgramPages.h"
#include "app/StartupOptions.h"
#include "pages/DeviceList.h"
#include "pages/IPSetDlg.h"
#include "pages/ManagementConfigDlg.h"
#include "pages/ManagementDlg.h"
#include "pages/VlanDlg.h"
#include "pages/WirelessSetDlg.h"
#include "protocol/CodeTables.h"
#include "rules/VlanForm.h"
#include "shell/PageIds.h"
#include "support/AppHarness.h"
#include "support/WaitFor.h"
#include "ui/GridCtrl.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace rf::test {
namespace {

class ManagementPage : public ::testing::Test {
protected:
    ManagementPage() {
        h.engine.store.SaveDeviceInfo(Radio(1, "02:00:00:00:00:14"));
        h.navigation.currentPage = kPageManagement;
        page = new CManagementDlg(h.pageContext, nullptr);
        page->resize(1100, 700);
        page->show();
        page->RefreshList();
    }
    ~ManagementPage() override { delete page; }

    int OperateColumn() const { return page->List().Columns().ColumnOf(kFieldOperate); }
    // Clicks the row's Operate button; work runs on the configuration dialog once it is up.
    void Operate(int row, std::function<void(CManagementConfigDlg&)> work) {
        QTimer::singleShot(0, [this, work] {
            auto* dialog = qobject_cast<CManagementConfigDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            autoRefreshWhileOpen = h.navigation.autoRefresh;
            work(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        CGridCtrl& grid = *page->List().Grid();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(row, OperateColumn()).center());
    }
    // Chooses the row's Configure item; work runs on the configuration dialog once it is up.
    void ConfigureFromMenu(int row, std::function<void(CManagementConfigDlg&)> work) {
        QTimer::singleShot(0, [this, work] {
            auto* dialog = qobject_cast<CManagementConfigDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog, page->ConfigDialog()) << "the dialog of the Operate button";
            work(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        Choose(OpenRowMenu(*page->List().Grid(), row), "menuConfigure");
    }
    // Closes the wait dialog that opens next, remembering that it came.
    void CloseNextWait() {
        QTimer::singleShot(0, [this] {
            waitShown = page->WaitDialog() != nullptr;
            if (page->WaitDialog()) {
                page->WaitDialog()->reject();
            }
        });
    }
    std::vector<RecordingSender::Sent> Commands() {
        std::vector<RecordingSender::Sent> commands;
        for (const auto& s : h.engine.sender->All()) {
            if (!s.search && s.header.messageType() != MessageType::GetInfo) {
                commands.push_back(s);
            }
        }
        return commands;
    }
    // Lets the send end: requests nobody answers run out of resends.
    void FinishSend() {
        EXPECT_TRUE(WaitFor([&] {
            h.engine.DropUnanswered();
            return !page->BatchRunning();
        }));
        page->FinishWorkers();
        QCoreApplication::processEvents();
    }

    AppHarness h;
    CManagementDlg* page = nullptr;
    bool autoRefreshWhileOpen = true;
    bool waitShown = false;
};

TEST_F(ManagementPage, TheListShowsTheManagementColumns) {
    CGridCtrl& grid = *page->List().Grid();
    ASSERT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetColumnCount(), 11);
    EXPECT_EQ(grid.GetCellText(0, OperateColumn()), QStringLiteral("Operate")) << "not the status list's Web";
    EXPECT_EQ(grid.GetCellText(1, page->List().Columns().ColumnOf(kFieldPower)), QStringLiteral("20"));
    EXPECT_EQ(grid.GetCellText(1, page->List().Columns().ColumnOf(kFieldMac)),
              QStringLiteral("02:00:00:00:00:14"));
}

// The row's button shows the edit picture, and every model name fits its column whole ("HorskV2.0" is
// never cut to look like "Horsk").
TEST_F(ManagementPage, TheRowButtonShowsTheEditPictureAndTheTypeColumnEveryModelWhole) {
    CGridCtrl& grid = *page->List().Grid();
    const QImage write = CGridCtrl::LoadMaskedImage(ToQString(h.skin.write)).toImage();
    const QColor pill = write.pixelColor(3, write.height() / 2);
    const QImage cell = grid.viewport()->grab(grid.CellRect(1, OperateColumn())).toImage();
    int pillPixels = 0;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            pillPixels += cell.pixelColor(x, y) == pill ? 1 : 0;
        }
    }
    EXPECT_GT(pillPixels, 20) << "the edit picture is drawn in the cell";

    const int type = page->List().Columns().ColumnOf(kFieldType);
    const QFontMetrics metrics(grid.GetCellFont(1, type));
    for (const std::string& model : ModelTexts()) {
        EXPECT_LT(metrics.horizontalAdvance(ToQString(model)), grid.GetColumnWidth(type) - 4) << model;
    }
}

TEST_F(ManagementPage, TheProgramMakesThisPageForItsId) {
    std::unique_ptr<CPage> made(MakeProgramPages(StartupOptions{})(kPageManagement, h.pageContext, nullptr));
    EXPECT_NE(qobject_cast<CManagementDlg*>(made.get()), nullptr);
}

TEST_F(ManagementPage, CancelSendsNothingAndTheListReloadsTwoSecondsLater) {
    Operate(1, [](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->NameEdit()->setText(QStringLiteral("never sent"));
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(autoRefreshWhileOpen) << "the container does not refresh behind the dialog";
    EXPECT_TRUE(h.navigation.autoRefresh);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(page->ReloadTimer().isActive());
    EXPECT_EQ(page->ReloadTimer().interval(), 2000);
    EXPECT_FALSE(page->BatchRunning());
}

TEST_F(ManagementPage, TheRowMenuOpensTheConfigurationEscapeCancelsItAndEnterSaves) {
    ConfigureFromMenu(1, [](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->NameEdit()->setText(QStringLiteral("never sent"));
        QTest::keyClick(dialog.WirelessTab()->NameEdit(), Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible()) << "Escape cancels";
    });
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(page->ReloadTimer().isActive());
    ConfigureFromMenu(1, [](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->NameEdit()->setText(QStringLiteral("Mast-9"));
        QTest::keyClick(dialog.WirelessTab()->NameEdit(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << "Enter saves";
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    FinishSend();
    const auto sent = Commands();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().header.messageType(), MessageType::SetName);
}

TEST_F(ManagementPage, ANameChangeSendsOneSetNameAndNoWait) {
    Operate(1, [](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->NameEdit()->setText(QStringLiteral("Mast-9"));
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(page->LastWait());
    FinishSend();
    const auto sent = Commands();
    ASSERT_FALSE(sent.empty());
    for (const auto& s : sent) {
        EXPECT_EQ(s.header.messageType(), MessageType::SetName) << "only the name goes out (and its resends)";
        EXPECT_EQ(s.payload, sent[0].payload);
    }
    EXPECT_EQ(sent[0].payload.size(), 33u);
    EXPECT_EQ(sent[0].payload[32], 6) << "Mast-9";
    EXPECT_TRUE(page->ReloadTimer().isActive());
    EXPECT_NE(page->BatchSummary()->text().indexOf(QStringLiteral("no answer")), -1)
        << page->BatchSummary()->text().toStdString();
}

TEST_F(ManagementPage, IpAndVlanTogetherSendTheVlanFirstAndWaitAMinuteWithoutSearching) {
    CloseNextWait();
    Operate(1, [this](CManagementConfigDlg& dialog) {
        dialog.IpTab()->Field(0)->setText(QStringLiteral("192.168.1.30"));
        dialog.VlanTab()->EnableBox()->setChecked(true);
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
        CloseNextWait();
    });
    EXPECT_TRUE(waitShown);
    ASSERT_TRUE(page->LastWait());
    EXPECT_EQ(page->LastWait()->seconds, 60);
    EXPECT_FALSE(page->LastWait()->search);
    FinishSend();
    std::vector<MessageType> types;
    for (const auto& s : Commands()) {
        if (types.empty() || types.back() != s.header.messageType()) {
            types.push_back(s.header.messageType());
        }
    }
    ASSERT_EQ(types, (std::vector<MessageType>{MessageType::SetVlan, MessageType::SetIp}));
    const auto sent = Commands();
    EXPECT_EQ(sent.front().payload[kVlanBlockApplyOffset], 1);
    EXPECT_EQ(sent.back().payload[kBlockApplyOffset], 0);
    EXPECT_EQ(sent.back().payload[4], 30);
}

TEST_F(ManagementPage, AnIpChangeAloneWaitsFifteenSecondsWithSearches) {
    Operate(1, [this](CManagementConfigDlg& dialog) {
        dialog.IpTab()->Field(0)->setText(QStringLiteral("192.168.1.31"));
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
        CloseNextWait();
    });
    EXPECT_TRUE(waitShown);
    ASSERT_TRUE(page->LastWait());
    EXPECT_EQ(*page->LastWait(), (ConfigWait{15, true, 3}));
    FinishSend();
    const auto sent = Commands();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().header.messageType(), MessageType::SetIp);
    EXPECT_EQ(sent.front().payload[kBlockApplyOffset], 1);
}

TEST_F(ManagementPage, ARefusedSaveKeepsTheDialogOpenAndSendsNothing) {
    bool stillOpen = false;
    Operate(1, [&](CManagementConfigDlg& dialog) {
        dialog.WirelessTab()->PowerEdit()->setText(QStringLiteral("27"));
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
        stillOpen = dialog.isVisible();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Power value range:8-26"));
    EXPECT_TRUE(Commands().empty());
}

} // namespace
} // namespace rf::test
