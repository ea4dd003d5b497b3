#pragma once

#include "ui/TextPlacement.h"

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <array>

namespace rf {

struct Settings;

// A push button drawn from four skin pictures (normal, hover, pressed, disabled) with its caption over
// them. A selected button (the navigation menu's current page) looks pressed with bold text.
class CTButtonPicture : public QAbstractButton {
    Q_OBJECT

public:
    enum DrawState { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

    explicit CTButtonPicture(QWidget* parent = nullptr);

    // An empty or unreadable path leaves that picture empty.
    void SetImages(const QString& normal, const QString& hover, const QString& pressed,
                   const QString& disabled);
    // The same picture for every state.
    void SetImage(const QString& path) { SetImages(path, path, path, path); }
    void SetText(const QString& text);
    void SetFont(const QString& face, int height, int weight, const QColor& textColour,
                 const QColor& activeColour, int alignment = kAlignCentre, int margin = 0);
    void SetDisabledTextColour(const QColor& colour);
    // The placement code of the text and the margin of the left and right placements.
    void SetTextPlacement(int alignment, int margin);
    void SetSelected(bool selected);
    void SetHoverFrame(bool frame);

    // The navigation menu's look (fonts and colours of the settings) with text.
    void SetMenuButtonLook(const Settings& settings, const QString& text);
    // The look of the buttons on the pages.
    void SetPageButtonLook(const Settings& settings);

    bool IsSelected() const { return selected_; }
    bool IsHovering() const { return hovering_; }
    DrawState CurrentDrawState() const;
    QColor CurrentTextColour() const;
    const QPixmap& Image(DrawState state) const { return images_[static_cast<size_t>(state)]; }
    int Alignment() const { return alignment_; }
    int Margin() const { return margin_; }
    QFont TextFont() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PaintText(QPainter& painter) const;

    std::array<QPixmap, 4> images_;
    QString face_ = QStringLiteral("Arial");
    int fontHeight_ = 16;
    int fontWeight_ = 0;
    QColor textColour_{0, 0, 0};
    QColor activeColour_{255, 255, 255};
    QColor disabledColour_{153, 153, 153};
    int alignment_ = kAlignCentre;
    int margin_ = 0;
    bool selected_ = false;
    bool hoverFrame_ = false;
    bool hovering_ = false;
};

} // namespace rf
