// Draws every picture of the program's skin into a folder:  skingen <folder>
// and the program's icon for the desktop's icon theme:       skingen --icons <folder>
// The build runs it to fill the bundle's Skin folder and the package's icons; all artwork is made here.
#include "GifWriter.h"
#include "SkinArt.h"
#include "ui/SkinPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string_view>

namespace rf {
namespace {

constexpr int kSpinnerSize = 32;
constexpr int kSpinnerFrames = 12;
constexpr int kSpinnerShades = 16;

// The search animation: twelve dots around a ring, the bright one moving on by one each frame.
std::vector<std::uint8_t> SpinnerGif() {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < kSpinnerShades; ++i) {
        const double t = static_cast<double>(i) / (kSpinnerShades - 1);
        const auto mix = [t](int from, int to) {
            return static_cast<std::uint32_t>(std::lround(from + (to - from) * t));
        };
        palette.push_back((mix(255, skin::kBlue.red()) << 16) | (mix(255, skin::kBlue.green()) << 8) |
                          mix(255, skin::kBlue.blue()));
    }
    std::vector<GifFrame> frames;
    for (int f = 0; f < kSpinnerFrames; ++f) {
        QImage shade(kSpinnerSize, kSpinnerSize, QImage::Format_ARGB32);
        shade.fill(Qt::white);
        QPainter p(&shade);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int dot = 0; dot < kSpinnerFrames; ++dot) {
            const int age = (f - dot + kSpinnerFrames) % kSpinnerFrames;
            const double strength = 1.0 - age / static_cast<double>(kSpinnerFrames);
            const double angle = 2 * std::numbers::pi * dot / kSpinnerFrames;
            const QPointF at(16 + 11 * std::sin(angle), 16 - 11 * std::cos(angle));
            p.setBrush(QColor(0, 0, 0, static_cast<int>(40 + 215 * strength * strength)));
            p.drawEllipse(at, 2.6, 2.6);
        }
        p.end();
        GifFrame frame;
        frame.delayCentiseconds = 8;
        for (int y = 0; y < kSpinnerSize; ++y) {
            for (int x = 0; x < kSpinnerSize; ++x) {
                const double t = (255 - qRed(shade.pixel(x, y))) / 255.0;
                frame.pixels.push_back(static_cast<std::uint8_t>(std::lround(t * (kSpinnerShades - 1))));
            }
        }
        frames.push_back(std::move(frame));
    }
    return EncodeGif(kSpinnerSize, kSpinnerSize, palette, frames);
}

bool WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile file(path);
    return !bytes.empty() && file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

bool WriteImage(const QString& path, const QImage& image) {
    const QString suffix = path.section(QLatin1Char('.'), -1).toLower();
    QImageWriter writer(path, suffix.toLatin1());
    if (suffix == QStringLiteral("jpg")) {
        writer.setQuality(92);
        return writer.write(image.convertToFormat(QImage::Format_RGB32));
    }
    if (suffix == QStringLiteral("bmp")) {
        return writer.write(image.convertToFormat(QImage::Format_RGB32));
    }
    return writer.write(image);
}

int Run(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const auto art = StillPictures();
    int failures = 0;
    for (const std::string_view name : SkinFileNames()) {
        const QString path =
            folder + QLatin1Char('/') + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        bool ok = false;
        if (name == "wait_search.gif") {
            ok = WriteBytes(path, SpinnerGif());
        } else if (const auto it = art.find(std::string(name)); it != art.end()) {
            ok = WriteImage(path, it->second());
        }
        if (!ok) {
            std::fprintf(stderr, "skingen: could not make %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// The icon theme's layout: <folder>/48x48/apps/radiofleet.png and likewise for 128 and 256.
int RunIcons(const QString& folder) {
    int failures = 0;
    for (const int size : {48, 128, 256}) {
        const QString directory = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString path = directory + QStringLiteral("/radiofleet.png");
        if (!QDir().mkpath(directory) || !ApplicationIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "skingen: could not make %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace
} // namespace rf

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string_view(argv[1]) == "--icons") {
        return rf::RunIcons(QString::fromLocal8Bit(argv[2]));
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <folder>\n       skingen --icons <folder>\n");
        return 2;
    }
    return rf::Run(QString::fromLocal8Bit(argv[1]));
}
