#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace rf::test {

// A mouse move without buttons, delivered straight to the widget (as mouse tracking reports it).
inline void MoveMouse(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

inline void LeaveWidget(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

} // namespace rf::test
