#include "ui/GridDelegate.h"

#include "ui/GridCtrl.h"
#include "ui/GridModel.h"
#include "ui/GridPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace rf {

GridDelegate::GridDelegate(CGridCtrl& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int row = index.row() + 1;
    const GridCell* cell = grid_.Model().Cell(row, index.column());
    if (cell != nullptr) {
        PaintGridCell(*painter, option.rect, *cell, grid_.LookOf(row, index.column()), grid_.viewport());
    }
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                               const QModelIndex& index) {
    if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const GridCell* cell = grid_.Model().Cell(index.row() + 1, index.column());
    if (mouse->button() != Qt::LeftButton || cell == nullptr || !cell->checkBox) {
        return false;
    }
    if (!option.rect.contains(mouse->position().toPoint())) {
        return false;
    }
    model->setData(index, cell->checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return false;
}

} // namespace rf
