#include "ui/TMultiPages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace rf {

namespace {

constexpr QColor kFrameColour{136, 136, 136};
constexpr QColor kHoverFill{187, 187, 187};

} // namespace

CTMultiPages::CTMultiPages(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void CTMultiPages::Init(int ownerPageId) {
    ownerPageId_ = ownerPageId;
    currentPage_ = 1;
    pageCount_ = 0;
    Relayout();
}

void CTMultiPages::SetPageCount(int count) {
    pageCount_ = std::max(count, 0);
    Relayout();
}

void CTMultiPages::SetCurrentPage(int page) {
    currentPage_ = page;
    Relayout();
}

void CTMultiPages::SetAlignment(int alignment) {
    alignment_ = alignment;
    Relayout();
}

void CTMultiPages::SetFrame(bool frame) {
    frame_ = frame;
    update();
}

void CTMultiPages::SetBackgroundColour(const QColor& colour) {
    backgroundColour_ = colour;
    update();
}

QString CTMultiPages::SlotText(int slot) {
    return slot == kEllipsisSlot ? QStringLiteral("...") : QString::number(slot);
}

QStringList CTMultiPages::SlotTexts() const {
    QStringList texts;
    for (const int slot : slots_) {
        texts << SlotText(slot);
    }
    return texts;
}

QRect CTMultiPages::SlotRectangle(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= rects_.size()) {
        return {};
    }
    const SlotRect& r = rects_[static_cast<size_t>(index)];
    return {r.x, r.y, r.width, r.height};
}

void CTMultiPages::Relayout() {
    slots_ = ComputePageSlots(pageCount_, currentPage_);
    const QFontMetrics metrics(font());
    std::vector<int> widths;
    for (const int slot : slots_) {
        widths.push_back(SlotWidth(metrics.horizontalAdvance(SlotText(slot))));
    }
    rects_ = LayoutSlots(widths, width(), height(), alignment_);
    hoverSlot_ = -1;
    pressedSlot_ = -1;
    unsetCursor();
    update();
}

bool CTMultiPages::IsPickable(int slot) const {
    if (slot < 0) {
        return false;
    }
    const int page = slots_[static_cast<size_t>(slot)];
    return page != kEllipsisSlot && page != currentPage_;
}

void CTMultiPages::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (frame_) {
        painter.setPen(kFrameColour);
        painter.setBrush(backgroundColour_);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        painter.fillRect(rect(), backgroundColour_);
    }
    const QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    for (size_t i = 0; i < slots_.size(); ++i) {
        const QRect r = SlotRectangle(static_cast<int>(i));
        const int page = slots_[i];
        const bool isCurrent = page == currentPage_;
        if (page == kEllipsisSlot || isCurrent) {
            painter.fillRect(r, Qt::white);
        } else {
            painter.setPen(kFrameColour);
            painter.setBrush(static_cast<int>(i) == hoverSlot_ ? kHoverFill : QColor(Qt::white));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        painter.setFont(isCurrent ? bold : normal);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r, Qt::AlignCenter, SlotText(page));
    }
}

void CTMultiPages::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void CTMultiPages::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Relayout();
    }
}

void CTMultiPages::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const int slot = SlotAt(rects_, p.x(), p.y());
    if (slot != hoverSlot_) {
        hoverSlot_ = slot;
        update();
    }
    if (IsPickable(slot)) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void CTMultiPages::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint p = event->position().toPoint();
    const int slot = SlotAt(rects_, p.x(), p.y());
    pressedSlot_ = IsPickable(slot) ? slot : -1;
}

void CTMultiPages::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint p = event->position().toPoint();
    const int slot = SlotAt(rects_, p.x(), p.y());
    const int pressed = pressedSlot_;
    pressedSlot_ = -1;
    if (slot < 0 || slot != pressed || !IsPickable(slot)) {
        return;
    }
    const int page = slots_[static_cast<size_t>(slot)];
    SetCurrentPage(page);
    Q_EMIT pagePicked(ownerPageId_, page);
}

void CTMultiPages::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hoverSlot_ != -1) {
        hoverSlot_ = -1;
        update();
    }
    unsetCursor();
}

} // namespace rf
