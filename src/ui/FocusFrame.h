#pragma once

#include <QRect>

class QPainter;
class QWidget;

namespace rf {

// Whether a control shows where the keyboard is: it has the focus and its window was last steered by
// keys (Tab, a shortcut), so a click with the mouse does not leave frames behind.
bool ShowsKeyboardFocus(const QWidget& widget);
// The dotted frame of the control with the focus, inside area, in the widget's highlight colour.
void PaintFocusFrame(QPainter& painter, const QRect& area, const QWidget& widget);

} // namespace rf
