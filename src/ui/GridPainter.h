#pragma once

#include "ui/GridCell.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;
class QPixmap;
class QWidget;

namespace rf {

// How a grid cell is laid out and drawn; shared by the data cells and the header row.
struct CellLook {
    QFont font;
    QColor text;
    QColor background;
    QColor line;
    const QPixmap* image = nullptr;
};

inline constexpr int kCellMargin = 4;

// The tick box of a check-box cell: centred when the cell has no text, else at its left.
QRect GridCheckBoxRect(const QRect& cell, const GridCell& content, const QWidget* widget);
// Where the text of a cell goes, after the tick box and the image.
QRect GridTextRect(const QRect& cell, const GridCell& content, const QPixmap* image, const QWidget* widget);
// Whether the text does not fit its cell and is cut.
bool IsGridTextCut(const QRect& cell, const GridCell& content, const CellLook& look, const QWidget* widget);
// The text as drawn: a single line that does not fit is elided at its right end ("…").
QString GridShownText(const QRect& cell, const GridCell& content, const CellLook& look,
                      const QWidget* widget);
void PaintGridCell(QPainter& painter, const QRect& cell, const GridCell& content, const CellLook& look,
                   const QWidget* widget);
// The small triangle of the sort column: up for ascending.
void PaintSortMarker(QPainter& painter, const QRect& cell, bool ascending, const QColor& colour);

} // namespace rf
