#pragma once

// Opening a device row's menu as a right click does, and choosing one of its items.
#include "ui/GridCtrl.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStringList>
#include <gtest/gtest.h>

namespace rf::test {

// Right-clicks the middle of a data row; the menu that came up, or nullptr.
inline QMenu* OpenRowMenu(CGridCtrl& grid, int row) {
    const QPoint at = grid.CellRect(row, 1).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid.viewport(), &click);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The object names of the menu's items, separators left out.
inline QStringList ItemNames(const QMenu& menu) {
    QStringList names;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            names << action->objectName();
        }
    }
    return names;
}

// Chooses an item as a click does: the menu goes away, then the item acts.
inline void Choose(QMenu* menu, const char* name) {
    ASSERT_NE(menu, nullptr);
    auto* action = menu->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    menu->hide();
    action->trigger();
    menu->close();
}

} // namespace rf::test
