#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QDialog>
#include <QLine>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <vector>

namespace rf {

// Base of every dialog and page: paints a background picture (stretched) or a colour, decoration lines,
// optional rounded corners and translucency; can be dragged by its free surface. In a dialog window, Enter
// presses the default button and Escape the escape button (or cancels the dialog when it has none); a page
// inside a window leaves both keys to the window it sits in.
class CTDialog : public QDialog {
    Q_OBJECT

public:
    // How the background picture covers a window of another size than its own.
    enum class BackgroundFit {
        Stretch,       // scaled over the whole window
        SliceAtCentre, // kept at its size; its middle column and row are stretched over the extra room, so
                       // that its edges and corners stay as drawn
    };

    explicit CTDialog(QWidget* parent = nullptr);

    // Makes the dialog a plain child widget (pages inside the page container).
    void MakeChildPage();
    // A modal window without frame, of a fixed size, filled with colour and dragged by its free surface.
    void MakeFramelessModal(QSize size, const QColor& colour);

    // A skin picture; false (and no picture) when the file cannot be decoded.
    bool SetBackgroundImage(const QString& path);
    void SetBackgroundFit(BackgroundFit fit);
    void SetDraggable(bool draggable) { draggable_ = draggable; }
    void SetFillWithColour(bool fill);
    void SetBackgroundColour(const QColor& colour);
    void SetLineColour(const QColor& colour) { lineColour_ = colour; }
    void SetLineWidth(int width) { lineWidth_ = width; }
    void AddLine(QPoint from, QPoint to);
    void SetCornerRadius(int radius);
    void SetOpacity(int alpha);
    // The button that Enter presses, and the one that Escape presses; a hidden or disabled one is not
    // pressed.
    void SetDefaultButton(QAbstractButton* button);
    void SetEscapeButton(QAbstractButton* button) { escapeButton_ = button; }
    // A dialog that only its own button ends (a timed wait) keeps Escape from closing it.
    void SetEscapeCloses(bool closes) { escapeCloses_ = closes; }
    QAbstractButton* DefaultButton() const { return defaultButton_; }

    bool HasBackgroundImage() const { return !background_.isNull(); }
    bool IsDraggable() const { return draggable_; }
    QColor BackgroundColour() const { return backgroundColour_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A window takes its tab order from where its controls lie (ReadingOrder).
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyShape();
    // Escape in a dialog window; false when the key belongs to the window around.
    bool OnEscape();
    bool OnEnter();
    void PaintBackground(QPainter& painter) const;

    QPixmap background_;
    BackgroundFit fit_ = BackgroundFit::Stretch;
    bool draggable_ = false;
    bool fill_ = false;
    QColor backgroundColour_{255, 255, 255};
    QColor lineColour_{218, 218, 218};
    int lineWidth_ = 1;
    std::vector<QLine> lines_;
    int cornerRadius_ = 0;
    int opacity_ = 255;
    bool dragging_ = false;
    QPoint dragOffset_;
    QPointer<QAbstractButton> defaultButton_;
    QPointer<QAbstractButton> escapeButton_;
    bool escapeCloses_ = true;
};

} // namespace rf
