#include "ui/FocusFrame.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace rf {

bool ShowsKeyboardFocus(const QWidget& widget) {
    return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(area.adjusted(1, 1, -2, -2));
    painter.restore();
}

} // namespace rf
