#include "ui/TDialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QWindow>
#include <algorithm>

namespace rf {

CTDialog::CTDialog(QWidget* parent) : QDialog(parent) {}

void CTDialog::MakeChildPage() {
    setWindowFlags(Qt::Widget);
}

bool CTDialog::SetBackgroundImage(const QString& path) {
    background_ = QPixmap(path);
    update();
    return !background_.isNull();
}

void CTDialog::SetFillWithColour(bool fill) {
    fill_ = fill;
    update();
}

void CTDialog::SetBackgroundColour(const QColor& colour) {
    backgroundColour_ = colour;
    update();
}

void CTDialog::AddLine(QPoint from, QPoint to) {
    lines_.emplace_back(from, to);
    update();
}

void CTDialog::SetCornerRadius(int radius) {
    cornerRadius_ = radius;
    ApplyShape();
}

void CTDialog::SetOpacity(int alpha) {
    opacity_ = alpha;
    if (isWindow()) {
        setWindowOpacity(alpha == 255 ? 1.0 : static_cast<double>(std::clamp(alpha, 0, 255)) / 255.0);
    }
}

void CTDialog::ApplyShape() {
    if (cornerRadius_ <= 0) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void CTDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!background_.isNull()) {
        painter.drawPixmap(rect(), background_);
    } else if (fill_) {
        painter.fillRect(rect(), backgroundColour_);
    }
    if (!lines_.empty()) {
        painter.setPen(QPen(lineColour_, lineWidth_, Qt::SolidLine));
        for (const QLine& line : lines_) {
            painter.drawLine(line);
        }
    }
}

void CTDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (cornerRadius_ > 0) {
        ApplyShape();
    }
}

void CTDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CTDialog::mousePressEvent(QMouseEvent* event) {
    if (!draggable_ || event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    QWidget* win = window();
    QWindow* handle = win->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - win->frameGeometry().topLeft();
    event->accept();
}

void CTDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CTDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace rf
