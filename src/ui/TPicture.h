#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <memory>

class QMovie;

namespace rf {

// Shows a picture: a GIF (87a or 89a) plays frame by frame with each frame's delay, looping, once started;
// any other picture is shown still, scaled from its physical size to the screen's resolution. The rest of
// the area is filled with the background colour. The animation is stopped before the control goes.
class CTPicture : public QWidget {
    Q_OBJECT

public:
    explicit CTPicture(QWidget* parent = nullptr);
    ~CTPicture() override;
    CTPicture(const CTPicture&) = delete;
    CTPicture& operator=(const CTPicture&) = delete;

    bool Load(const QString& path);
    bool LoadFromData(const QByteArray& data);
    void Start();
    void Stop();
    void SetBackgroundColour(const QColor& colour);

    bool IsAnimated() const { return movie_ != nullptr; }
    bool IsPlaying() const;
    int FrameCount() const;
    int CurrentFrame() const;
    QSize PictureSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Clear();
    static bool IsGif(const QByteArray& data);

    QColor backgroundColour_{255, 255, 255};
    QImage still_;
    QByteArray gifData_;
    QBuffer gifBuffer_;
    std::unique_ptr<QMovie> movie_;
    bool playing_ = false;
};

} // namespace rf
