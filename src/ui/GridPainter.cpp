#include "ui/GridPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace rf {

namespace {

int IndicatorSize(const QWidget* widget) {
    return widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
}

int TextFlags(const GridCell& content) {
    int flags = 0;
    if (content.format & kFormatCentre) {
        flags |= Qt::AlignHCenter;
    } else if (content.format & kFormatRight) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    if (content.format & kFormatVCentre) {
        flags |= Qt::AlignVCenter;
    } else if (content.format & kFormatBottom) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    flags |= (content.format & kFormatSingleLine) ? Qt::TextSingleLine : Qt::TextWordWrap;
    return flags;
}

QRect ImageRect(const QRect& cell, const GridCell& content, const QPixmap& image, const QWidget* widget) {
    const QSize size = image.deviceIndependentSize().toSize();
    const int y = cell.top() + (cell.height() - size.height()) / 2;
    if (!content.text.isEmpty() || content.checkBox) {
        int x = cell.left() + kCellMargin;
        if (content.checkBox) {
            x = GridCheckBoxRect(cell, content, widget).right() + 1 + kCellMargin;
        }
        return {QPoint(x, y), size};
    }
    int x = cell.left() + kCellMargin;
    if (content.format & kFormatCentre) {
        x = cell.left() + (cell.width() - size.width()) / 2;
    } else if (content.format & kFormatRight) {
        x = cell.right() - kCellMargin - size.width();
    }
    return {QPoint(x, y), size};
}

} // namespace

QRect GridCheckBoxRect(const QRect& cell, const GridCell& content, const QWidget* widget) {
    const int size = IndicatorSize(widget);
    const int y = cell.top() + (cell.height() - size) / 2;
    if (content.text.isEmpty()) {
        return {cell.left() + (cell.width() - size) / 2, y, size, size};
    }
    return {cell.left() + kCellMargin, y, size, size};
}

QRect GridTextRect(const QRect& cell, const GridCell& content, const QPixmap* image, const QWidget* widget) {
    QRect text = cell.adjusted(kCellMargin, 0, -kCellMargin, 0);
    if (content.checkBox) {
        text.setLeft(GridCheckBoxRect(cell, content, widget).right() + 1 + kCellMargin);
    }
    if (image != nullptr && !image->isNull()) {
        text.setLeft(ImageRect(cell, content, *image, widget).right() + 1 + kCellMargin);
    }
    return text;
}

bool IsGridTextCut(const QRect& cell, const GridCell& content, const CellLook& look, const QWidget* widget) {
    if (content.text.isEmpty()) {
        return false;
    }
    const QRect area = GridTextRect(cell, content, look.image, widget);
    const QFontMetrics metrics(look.font);
    const QRect needed = metrics.boundingRect(area, TextFlags(content), content.text);
    return needed.width() > area.width() || needed.height() > area.height();
}

QString GridShownText(const QRect& cell, const GridCell& content, const CellLook& look,
                      const QWidget* widget) {
    if (!(content.format & kFormatSingleLine)) {
        return content.text;
    }
    const QRect area = GridTextRect(cell, content, look.image, widget);
    return QFontMetrics(look.font).elidedText(content.text, Qt::ElideRight, area.width());
}

void PaintGridCell(QPainter& painter, const QRect& cell, const GridCell& content, const CellLook& look,
                   const QWidget* widget) {
    painter.save();
    painter.fillRect(cell, look.background);
    painter.setPen(look.line);
    painter.drawLine(cell.topRight(), cell.bottomRight());
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    if (content.checkBox) {
        QStyleOptionButton box;
        box.rect = GridCheckBoxRect(cell, content, widget);
        box.state = QStyle::State_Enabled | (content.checked ? QStyle::State_On : QStyle::State_Off);
        widget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, widget);
    }
    if (look.image != nullptr && !look.image->isNull()) {
        painter.drawPixmap(ImageRect(cell, content, *look.image, widget), *look.image);
    }
    if (!content.text.isEmpty()) {
        const QRect area = GridTextRect(cell, content, look.image, widget);
        painter.setClipRect(area.intersected(cell));
        painter.setFont(look.font);
        painter.setPen(look.text);
        const QString shown = GridShownText(cell, content, look, widget);
        painter.drawText(area, TextFlags(content), shown);
    }
    painter.restore();
}

void PaintSortMarker(QPainter& painter, const QRect& cell, bool ascending, const QColor& colour) {
    constexpr int kHalf = 4;
    const int x = cell.right() - kCellMargin - kHalf;
    const int y = cell.center().y();
    QPolygon triangle;
    if (ascending) {
        triangle << QPoint(x - kHalf, y + 2) << QPoint(x + kHalf, y + 2) << QPoint(x, y - 3);
    } else {
        triangle << QPoint(x - kHalf, y - 2) << QPoint(x + kHalf, y - 2) << QPoint(x, y + 3);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(triangle);
    painter.restore();
}

} // namespace rf
