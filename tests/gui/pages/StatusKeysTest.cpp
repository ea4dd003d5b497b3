// The status page at the keyboard and its rows' menu, over a recording engine: Ctrl+F, Space, Ctrl+A,
// Ctrl+C, F5, the menu key, and menu items that go through the page's own buttons.
#include "RowMenu.h"
#include "StatusFixture.h"
#include "app/ChildDlg.h"

#include "pages/IpsetMutilDlg.h"
#include "ui/IpAddressEdit.h"
#include "ui/TEdit.h"

#include <QClipboard>
#include <QPainter>
#include <cstdlib>

namespace rf::test {
namespace {

QString Clipboard() {
    return QGuiApplication::clipboard()->text();
}

// With RF_PICTURES_DIR set (scripts/screenshot sets it), the window with a row's menu open is saved there
// as context-menu.png for the README.
void SavePicture(QWidget& window, QMenu& menu) {
    const char* dir = std::getenv("RF_PICTURES_DIR");
    if (dir == nullptr || *dir == '\0') {
        return;
    }
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(menu.geometry().topLeft() - window.geometry().topLeft(), menu.grab());
    painter.end();
    EXPECT_TRUE(picture.save(QString::fromLocal8Bit(dir) + QStringLiteral("/context-menu.png")));
}

class StatusKeys : public StatusPageTest {
protected:
    StatusKeys() {
        // The window reloads the page it shows a moment after showing it, which would clear the ticks
        // the tests set.
        const bool switched = QTest::qWaitFor([this] { return !window.Pages()->SwitchTimer().isActive(); });
        for (int i = 1; i <= 3; ++i) {
            Store({.index = i, .name = "Mast " + std::to_string(i)});
        }
        List().Reload(1);
        window.activateWindow();
        active = switched && QTest::qWaitForWindowActive(&window);
    }
    bool Ticked(int row) { return Grid().IsChecked(row, kFieldTick); }
    // What the grid shows of the header and of rows, the tick and web columns left out.
    QString Shown(const std::vector<int>& rows) {
        QString text;
        for (const int row : rows) {
            QStringList cells;
            for (int column = 0; column < Grid().GetColumnCount(); ++column) {
                if (column != kFieldTick && column != kFieldOperate) {
                    cells << Cell(row, column);
                }
            }
            text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
        return text;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }

    bool active = false;
};

TEST_F(StatusKeys, KeysFindTickAndCopyRowsAndF5Searches) {
    ASSERT_TRUE(active);
    Grid().setFocus();
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), List().Filter()) << "Ctrl+F";

    Grid().setFocus();
    EXPECT_EQ(Grid().CurrentRow(), 1) << "the grid starts at its first row";
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    EXPECT_FALSE(Ticked(1));
    EXPECT_TRUE(Ticked(2)) << "Space ticks the current row";
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), Shown({0, 2})) << "Ctrl+C: the titles, then the ticked row";
    const QStringList lines = Clipboard().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(TranslateText("Serial") + QLatin1Char('\t') + TranslateText("Location")));
    EXPECT_TRUE(lines[1].contains(ToQString("\t" + IpOf(2) + "\t" + MacOf(2) + "\t")))
        << lines[1].toStdString();

    Key(Qt::Key_Space);
    EXPECT_FALSE(Ticked(2)) << "and unticks it";
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), Shown({0, 2})) << "nothing ticked: the current row";
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(Ticked(1) && Ticked(2) && Ticked(3)) << "Ctrl+A ticks the shown page";
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), Shown({0, 1, 2, 3}));

    Key(Qt::Key_F5);
    EXPECT_TRUE(page->Searching()) << "F5 searches on the status page";
    Key(Qt::Key_F5);
    EXPECT_TRUE(page->Searching()) << "and does not stop a running search";
    page->OnSearchClicked();
}

TEST_F(StatusKeys, TheRowMenuCopiesOpensAndActsThroughTheButtonsForItsRowAlone) {
    ASSERT_TRUE(active);
    const int row = RowOf(MacOf(3));
    QMenu* menu = OpenRowMenu(Grid(), row);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(
        ItemNames(*menu).join(QLatin1Char(' ')),
        QStringLiteral("menuCopyMac menuCopyIp menuCopyRows menuOpenWeb menuRename menuSetIp menuSetBridge"));
    EXPECT_EQ(menu->actions().front()->text(), TranslateText("Copy MAC"));
    EXPECT_EQ(Grid().CurrentRow(), row) << "the right-clicked row becomes the current one";
    SavePicture(window, *menu);
    Choose(menu, "menuCopyMac");
    EXPECT_EQ(Clipboard(), ToQString(MacOf(3)));
    Choose(OpenRowMenu(Grid(), row), "menuCopyIp");
    EXPECT_EQ(Clipboard(), ToQString(IpOf(3)));
    Choose(OpenRowMenu(Grid(), row), "menuOpenWeb");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(ToQString("http://" + IpOf(3) + "/"))) << "as the row's web button";
    Choose(OpenRowMenu(Grid(), row), "menuCopyRows");
    EXPECT_EQ(Clipboard(), Shown({0, row})) << "the same text as Ctrl+C";

    Grid().SetChecked(RowOf(MacOf(1)), kFieldTick, true);
    Grid().SetChecked(RowOf(MacOf(2)), kFieldTick, true);
    bool dialogCame = false;
    WithNextDialog<CIpsetMutilDlg>([&](CIpsetMutilDlg& dialog) {
        dialogCame = true;
        EXPECT_FALSE(dialog.EndField()->isVisibleTo(&dialog)) << "one device, though two rows are ticked";
        EXPECT_EQ(dialog.StartField()->text(), ToQString(IpOf(3)));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible()) << "Escape cancels the Set IP dialog";
    });
    Choose(OpenRowMenu(Grid(), row), "menuSetIp");
    EXPECT_TRUE(dialogCame);
    EXPECT_FALSE(page->BatchRunning());
    EXPECT_EQ(List().CollectSelectedDevices().size(), 2u) << "the ticks count again after the menu's action";

    Grid().SetCurrentRow(RowOf(MacOf(2)));
    QTest::keyClick(&Grid(), Qt::Key_F10, Qt::ShiftModifier);
    Choose(qobject_cast<QMenu*>(QApplication::activePopupWidget()), "menuCopyMac");
    EXPECT_EQ(Clipboard(), ToQString(MacOf(2))) << "Shift+F10 opens the current row's menu";
    QTest::keyClick(&Grid(), Qt::Key_Menu);
    Choose(qobject_cast<QMenu*>(QApplication::activePopupWidget()), "menuRename");
    ASSERT_NE(page->RenameEditor(), nullptr) << "the menu key too; its Rename edits the row's name";
    EXPECT_EQ(page->RenameEditor()->text(), QStringLiteral("Mast 2"));
    page->CancelRename();
}

} // namespace
} // namespace rf::test
