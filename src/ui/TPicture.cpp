#include "ui/TPicture.h"

#include <QFile>
#include <QMovie>
#include <QPainter>

namespace rf {

namespace {

constexpr double kInchesPerMetre = 0.0254;

// The image scaled from the resolution stored in it to the screen's; unchanged when it stores none.
QImage ScaledToScreen(const QImage& image, double screenDpiX, double screenDpiY) {
    const double dpiX = image.dotsPerMeterX() * kInchesPerMetre;
    const double dpiY = image.dotsPerMeterY() * kInchesPerMetre;
    if (dpiX < 1.0 || dpiY < 1.0) {
        return image;
    }
    const int w = static_cast<int>(image.width() * screenDpiX / dpiX + 0.5);
    const int h = static_cast<int>(image.height() * screenDpiY / dpiY + 0.5);
    if (w <= 0 || h <= 0 || (w == image.width() && h == image.height())) {
        return image;
    }
    return image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

CTPicture::CTPicture(QWidget* parent) : QWidget(parent) {}

CTPicture::~CTPicture() {
    Stop();
}

bool CTPicture::IsGif(const QByteArray& data) {
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

void CTPicture::Clear() {
    playing_ = false;
    if (movie_) {
        movie_->stop();
        movie_.reset();
    }
    if (gifBuffer_.isOpen()) {
        gifBuffer_.close();
    }
    gifData_.clear();
    still_ = QImage();
}

bool CTPicture::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Clear();
        update();
        return false;
    }
    return LoadFromData(file.readAll());
}

bool CTPicture::LoadFromData(const QByteArray& data) {
    Clear();
    if (IsGif(data)) {
        gifData_ = data;
        gifBuffer_.setBuffer(&gifData_);
        gifBuffer_.open(QIODevice::ReadOnly);
        movie_ = std::make_unique<QMovie>(&gifBuffer_, QByteArray("gif"));
        if (!movie_->isValid() || !movie_->jumpToFrame(0) || movie_->currentImage().isNull()) {
            Clear();
            update();
            return false;
        }
        connect(movie_.get(), &QMovie::frameChanged, this, [this](int) { update(); });
        // A GIF without a loop count would play once; the picture loops until it is stopped.
        connect(movie_.get(), &QMovie::finished, this, [this] {
            if (playing_) {
                movie_->start();
            }
        });
        update();
        return true;
    }
    const QImage image = QImage::fromData(data);
    still_ = ScaledToScreen(image, logicalDpiX(), logicalDpiY());
    update();
    return !image.isNull();
}

void CTPicture::Start() {
    if (movie_ && movie_->state() != QMovie::Running) {
        playing_ = true;
        movie_->start();
    }
}

void CTPicture::Stop() {
    playing_ = false;
    if (movie_) {
        movie_->stop();
    }
}

void CTPicture::SetBackgroundColour(const QColor& colour) {
    backgroundColour_ = colour;
    update();
}

bool CTPicture::IsPlaying() const {
    return movie_ && movie_->state() == QMovie::Running;
}

int CTPicture::FrameCount() const {
    if (movie_) {
        return movie_->frameCount();
    }
    return still_.isNull() ? 0 : 1;
}

int CTPicture::CurrentFrame() const {
    return movie_ ? movie_->currentFrameNumber() : 0;
}

QSize CTPicture::PictureSize() const {
    if (movie_) {
        return movie_->currentImage().size();
    }
    return still_.size();
}

void CTPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColour_);
    if (movie_) {
        painter.drawImage(0, 0, movie_->currentImage());
    } else if (!still_.isNull()) {
        painter.drawImage(0, 0, still_);
    }
}

} // namespace rf
