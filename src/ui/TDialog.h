#pragma once

#include <QColor>
#include <QDialog>
#include <QLine>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <vector>

namespace rf {

// Base of every dialog and page: paints a background picture (stretched) or a colour, decoration lines,
// optional rounded corners and translucency; can be dragged by its free surface. Enter and Escape never
// close it.
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

    bool HasBackgroundImage() const { return !background_.isNull(); }
    bool IsDraggable() const { return draggable_; }
    QColor BackgroundColour() const { return backgroundColour_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyShape();
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
};

} // namespace rf
