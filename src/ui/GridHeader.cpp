#include "ui/GridHeader.h"

#include "ui/GridCtrl.h"
#include "ui/GridModel.h"
#include "ui/GridPainter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace rf {

GridHeader::GridHeader(CGridCtrl& grid) : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive); // the user widens a column by dragging its edge
    setMinimumSectionSize(1);
    viewport()->setCursor(Qt::PointingHandCursor);
}

QRect GridHeader::SectionRect(int logicalIndex) const {
    return {sectionViewportPosition(logicalIndex), 0, sectionSize(logicalIndex), height()};
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const GridCell* cell = grid_.Model().Cell(0, logicalIndex);
    if (cell == nullptr) {
        return;
    }
    const CellLook look = grid_.LookOf(0, logicalIndex);
    PaintGridCell(*painter, rect, *cell, look, viewport());
    if (grid_.SortColumn() == logicalIndex) {
        PaintSortMarker(*painter, rect, grid_.SortAscending(), look.text);
    }
}

void GridHeader::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int column = logicalIndexAt(pos);
    const GridCell* cell = grid_.Model().Cell(0, column);
    if (event->button() == Qt::LeftButton && cell != nullptr && cell->checkBox &&
        GridCheckBoxRect(SectionRect(column), *cell, viewport()).contains(pos)) {
        grid_.SetChecked(0, column, !cell->checked);
    }
    QHeaderView::mouseReleaseEvent(event);
}

bool GridHeader::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QHeaderView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = grid_.ToolTipText(0, logicalIndexAt(help->pos()));
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
}

} // namespace rf
