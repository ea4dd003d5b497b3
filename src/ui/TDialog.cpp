#include "ui/TDialog.h"

#include "ui/ReadingOrder.h"

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

void CTDialog::SetBackgroundFit(BackgroundFit fit) {
    fit_ = fit;
    update();
}

void CTDialog::MakeFramelessModal(QSize size, const QColor& colour) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(size);
    SetFillWithColour(true);
    SetBackgroundColour(colour);
    SetDraggable(true);
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

namespace {

// One axis of a centre slice: where the first part, the stretched middle line and the last part of the
// picture go in a window of length `window`, from a picture of length `picture`.
struct Slices {
    int first;  // picture [0, first) drawn at 0
    int middle; // window length that the picture's line `first` covers
    int last;   // picture [first + 1, picture) drawn at first + middle
};

Slices SliceAxis(int picture, int window) {
    const int first = picture / 2;
    const int extra = std::max(window - picture, 0);
    return {first, extra + 1, picture - first - 1};
}

} // namespace

void CTDialog::PaintBackground(QPainter& painter) const {
    if (fit_ == BackgroundFit::Stretch) {
        painter.drawPixmap(rect(), background_);
        return;
    }
    const QSize picture = background_.deviceIndependentSize().toSize();
    const Slices across = SliceAxis(picture.width(), width());
    const Slices down = SliceAxis(picture.height(), height());
    const int scale = static_cast<int>(background_.devicePixelRatio());
    const int xs[3][3] = {{0, across.first, 0},
                          {across.first, across.middle, across.first},
                          {across.first + across.middle, across.last, across.first + 1}};
    const int ys[3][3] = {{0, down.first, 0},
                          {down.first, down.middle, down.first},
                          {down.first + down.middle, down.last, down.first + 1}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const QRect target(xs[i][0], ys[j][0], xs[i][1], ys[j][1]);
            const QRect source(xs[i][2] * scale, ys[j][2] * scale, (i == 1 ? 1 : xs[i][1]) * scale,
                               (j == 1 ? 1 : ys[j][1]) * scale);
            if (!target.isEmpty() && !source.isEmpty()) {
                painter.drawPixmap(target, background_, source);
            }
        }
    }
}

void CTDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!background_.isNull()) {
        PaintBackground(painter);
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

void CTDialog::SetDefaultButton(QAbstractButton* button) {
    if (defaultButton_ != nullptr) {
        defaultButton_->setProperty("rfDefault", false);
        defaultButton_->update();
    }
    defaultButton_ = button;
    if (button != nullptr) {
        button->setProperty("rfDefault", true);
        button->update();
    }
}

namespace {

bool PressIfUsable(QAbstractButton* button) {
    if (button == nullptr || !button->isVisibleTo(button->window()) || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

} // namespace

// The main window is no dialog: Escape does not close it.
bool CTDialog::OnEscape() {
    if (!isWindow() || windowModality() == Qt::NonModal) {
        return false;
    }
    if (!escapeCloses_) {
        return true;
    }
    if (escapeButton_ == nullptr) {
        reject();
    } else {
        PressIfUsable(escapeButton_);
    }
    return true;
}

bool CTDialog::OnEnter() {
    if (PressIfUsable(defaultButton_)) {
        return true;
    }
    return isWindow();
}

void CTDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (isWindow()) {
        SetReadingTabOrder(*this);
    }
}

void CTDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    bool handled = false;
    if (plain && event->key() == Qt::Key_Escape) {
        handled = OnEscape();
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        handled = OnEnter();
    } else {
        QDialog::keyPressEvent(event);
        return;
    }
    event->setAccepted(handled);
}

void CTDialog::mousePressEvent(QMouseEvent* event) {
    if (!draggable_ || event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    QWidget* win = window();
    if (win->isMaximized()) {
        // A maximised window stays where it is; a move begun here would swallow the double click that
        // restores it.
        QDialog::mousePressEvent(event);
        return;
    }
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
