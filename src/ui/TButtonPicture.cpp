#include "ui/TButtonPicture.h"

#include "core/Settings.h"
#include "ui/FocusFrame.h"
#include "ui/QtConvert.h"

#include <QFontMetrics>
#include <QPainter>

namespace rf {

CTButtonPicture::CTButtonPicture(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void CTButtonPicture::SetImages(const QString& normal, const QString& hover, const QString& pressed,
                                const QString& disabled) {
    const std::array<const QString*, 4> paths{&normal, &hover, &pressed, &disabled};
    for (size_t i = 0; i < images_.size(); ++i) {
        images_[i] = paths[i]->isEmpty() ? QPixmap() : QPixmap(*paths[i]);
    }
    update();
}

void CTButtonPicture::SetText(const QString& text) {
    setText(text);
    update();
}

void CTButtonPicture::SetFont(const QString& face, int height, int weight, const QColor& textColour,
                              const QColor& activeColour, int alignment, int margin) {
    face_ = face;
    fontHeight_ = height;
    fontWeight_ = weight;
    textColour_ = textColour;
    activeColour_ = activeColour;
    alignment_ = alignment;
    margin_ = margin;
    update();
}

void CTButtonPicture::SetDisabledTextColour(const QColor& colour) {
    disabledColour_ = colour;
    update();
}

void CTButtonPicture::SetTextPlacement(int alignment, int margin) {
    alignment_ = alignment;
    margin_ = margin;
    update();
}

void CTButtonPicture::SetSelected(bool selected) {
    selected_ = selected;
    update();
}

void CTButtonPicture::SetHoverFrame(bool frame) {
    hoverFrame_ = frame;
    update();
}

void CTButtonPicture::SetMenuButtonLook(const Settings& s, const QString& text) {
    SetFont(ToQString(s.fontName), s.buttonMenuFontHeight, s.buttonMenuFontWeight,
            ToQColor(s.buttonMenuFontColor), ToQColor(s.textDownColor), kAlignLeft, 50);
    SetText(text);
}

void CTButtonPicture::SetPageButtonLook(const Settings& s) {
    SetFont(ToQString(s.fontName), s.buttonFontHeight, s.buttonFontWeight, ToQColor(s.buttonFontColor),
            ToQColor(s.textDownColor), alignment_, margin_);
}

CTButtonPicture::DrawState CTButtonPicture::CurrentDrawState() const {
    if (!isEnabled()) {
        return Disabled;
    }
    if (isDown()) {
        return Pressed;
    }
    return hovering_ ? Hover : Normal;
}

QColor CTButtonPicture::CurrentTextColour() const {
    if (selected_) {
        return activeColour_;
    }
    switch (CurrentDrawState()) {
    case Normal:
        return textColour_;
    case Disabled:
        return disabledColour_;
    case Hover:
    case Pressed:
        break;
    }
    return activeColour_;
}

QFont CTButtonPicture::TextFont() const {
    return MakeFont(face_.toStdString(), fontHeight_, selected_ ? 700 : fontWeight_);
}

QSize CTButtonPicture::sizeHint() const {
    if (!images_[0].isNull()) {
        return images_[0].size();
    }
    const QFontMetrics metrics(TextFont());
    return {metrics.horizontalAdvance(text()) + 2 * margin_ + 8, metrics.height() + 8};
}

void CTButtonPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const DrawState state = selected_ ? Pressed : CurrentDrawState();
    const QPixmap& image = images_[static_cast<size_t>(state)];
    if (!image.isNull()) {
        if (image.width() > width() || image.height() > height()) {
            painter.drawPixmap(rect(), image);
        } else {
            painter.drawPixmap(0, 0, image);
        }
    }
    if (!selected_ && state == Hover && hoverFrame_) {
        painter.setPen(QPen(activeColour_, 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!text().isEmpty()) {
        PaintText(painter);
    }
    if (ShowsKeyboardFocus(*this)) {
        PaintFocusFrame(painter, rect(), *this);
    }
}

void CTButtonPicture::PaintText(QPainter& painter) const {
    const QFont font = TextFont();
    const QFontMetrics metrics(font);
    const TextPoint at = PlaceButtonText(alignment_, margin_, width(), height(),
                                         metrics.horizontalAdvance(text()), metrics.height());
    painter.setFont(font);
    painter.setPen(CurrentTextColour());
    painter.drawText(at.x, at.y + metrics.ascent(), text());
}

void CTButtonPicture::enterEvent(QEnterEvent* event) {
    hovering_ = isEnabled();
    update();
    QAbstractButton::enterEvent(event);
}

void CTButtonPicture::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace rf
