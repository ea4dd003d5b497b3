#include "app/ScrollBitmapWnd.h"

#include <QPainter>
#include <QScrollBar>

namespace rf {

CScrollBitmapWnd::CScrollBitmapWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);
}

bool CScrollBitmapWnd::LoadPicture(const QString& path) {
    QPixmap picture;
    if (!picture.load(path)) {
        return false;
    }
    picture_ = picture;
    Layout();
    viewport()->update();
    return true;
}

QPoint CScrollBitmapWnd::Offset() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CScrollBitmapWnd::Layout() {
    const QSize view = viewport()->size();
    shown_ = picture_.width() > view.width() && view.width() > 0
                 ? picture_.scaledToWidth(view.width(), Qt::SmoothTransformation)
                 : picture_;
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, std::max(0, shown_.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void CScrollBitmapWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Layout();
}

void CScrollBitmapWnd::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(192, 192, 192));
    if (!shown_.isNull()) {
        painter.drawPixmap(-Offset(), shown_);
    }
}

} // namespace rf
