#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>

namespace rf {

// Shows a picture larger than itself, with scroll bars where it does not fit; outside the picture the
// background is grey.
class CScrollBitmapWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kLineStep = 5;

    explicit CScrollBitmapWnd(QWidget* parent = nullptr);

    bool LoadPicture(const QString& path);
    QSize PictureSize() const { return picture_.size(); }
    QPoint Offset() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    QPixmap picture_;
};

} // namespace rf
