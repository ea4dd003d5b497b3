#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>

namespace rf {

// Shows a picture at the width of its view (made smaller when it is wider, never cut on the right), with a
// scroll bar when it is taller; outside the picture the background is grey.
class CScrollBitmapWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kLineStep = 5;

    explicit CScrollBitmapWnd(QWidget* parent = nullptr);

    bool LoadPicture(const QString& path);
    QSize PictureSize() const { return picture_.size(); }
    // The picture as it is drawn.
    QSize ShownSize() const { return shown_.size(); }
    QPoint Offset() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    QPixmap picture_;
    QPixmap shown_;
};

} // namespace rf
