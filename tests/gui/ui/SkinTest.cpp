#include "GifWriter.h"
#include "ui/SkinPaths.h"
#include "ui/TPicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace rf {
namespace {

QString SkinFile(std::string_view name) {
    return QString::fromUtf8(RF_BUNDLE_DIR "Skin/") +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QByteArray FormatOf(std::string_view name) {
    const std::map<std::string_view, QByteArray> formats{
        {".jpg", "jpeg"}, {".bmp", "bmp"}, {".ico", "ico"}, {".gif", "gif"}};
    return formats.at(name.substr(name.rfind('.')));
}

TEST(Skin, EveryFileExistsAndDecodesInItsFormat) {
    for (const std::string_view name : SkinFileNames()) {
        const QString path = SkinFile(name);
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(QFileInfo::exists(path));
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), FormatOf(name));
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    }
}

TEST(Skin, PicturesHaveTheSizesThePagesUse) {
    const std::map<std::string_view, QSize> sizes{
        {"web_chinese.bmp", {50, 16}},
        {"web_other.bmp", {50, 16}},
        {"bridge_chinese.bmp", {50, 16}},
        {"bridge_other.bmp", {50, 16}},
        {"write.bmp", {50, 16}},
        {"singal_strength0.bmp", {30, 16}},
        {"singal_strength5.bmp", {30, 16}},
        {"main_bk.jpg", {1000, 680}},
        {"bt_menu_search_down.bmp", {218, 45}},
        {"bt_menu_wireless_normal.bmp", {218, 45}},
    };
    for (const auto& [name, size] : sizes) {
        EXPECT_EQ(QImageReader(SkinFile(name)).size(), size) << name;
    }
    const QSize help = QImageReader(SkinFile("help_other.jpg")).size();
    EXPECT_TRUE(help.width() > 900 && help.height() > 585) << "larger than its view, so it scrolls";
}

TEST(Skin, TheSearchAnimationHasSeveralFrames) {
    QImageReader reader(SkinFile("wait_search.gif"));
    ASSERT_TRUE(reader.supportsAnimation());
    EXPECT_GT(reader.imageCount(), 1);
    int frames = 0;
    QImage first;
    bool changes = false;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read(), ++frames) {
        if (first.isNull()) {
            first = frame;
        } else if (frame != first) {
            changes = true;
        }
        EXPECT_GT(reader.nextImageDelay(), 0);
    }
    EXPECT_GT(frames, 1);
    EXPECT_TRUE(changes) << "the frames differ";
    EXPECT_EQ(reader.loopCount(), -1) << "loops forever";
}

// Every palette entry distinct; pixels a pattern with long runs and noise, so the coder's table fills up.
std::vector<std::uint32_t> TestPalette(int colours) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < colours; ++i) {
        palette.push_back(static_cast<std::uint32_t>((i * 37 % 256) << 16 | (255 - i) << 8 | (i * 11 % 256)));
    }
    return palette;
}

GifFrame TestFrame(int w, int h, int colours, std::uint32_t seed) {
    GifFrame frame;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245U + 12345U;
            const bool noise = (y / 7) % 2 == 0;
            const int value =
                noise ? static_cast<int>((seed >> 16) % static_cast<unsigned>(colours)) : (x / 13) % colours;
            frame.pixels.push_back(static_cast<std::uint8_t>(value));
        }
    }
    frame.delayCentiseconds = 7;
    return frame;
}

void ExpectRoundTrip(int w, int h, int colours, int frameCount) {
    SCOPED_TRACE(testing::Message() << w << "x" << h << " colours " << colours);
    const auto palette = TestPalette(colours);
    std::vector<GifFrame> frames;
    for (int f = 0; f < frameCount; ++f) {
        frames.push_back(TestFrame(w, h, colours, static_cast<std::uint32_t>(f + 1)));
    }
    const auto bytes = EncodeGif(w, h, palette, frames);
    ASSERT_FALSE(bytes.empty());
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    for (int f = 0; f < frameCount; ++f) {
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << "frame " << f;
        ASSERT_EQ(image.size(), QSize(w, h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t expected =
                    palette[frames[static_cast<size_t>(f)].pixels[static_cast<size_t>(y * w + x)]];
                ASSERT_EQ(image.pixel(x, y) & 0xFFFFFFU, expected)
                    << "frame " << f << " at " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(reader.read().isNull()) << "no extra frames";
}

TEST(GifWriter, DecodesBackToTheSamePixels) {
    ExpectRoundTrip(1, 1, 2, 1);
    ExpectRoundTrip(31, 17, 4, 2);
    ExpectRoundTrip(97, 61, 16, 3);
    ExpectRoundTrip(200, 150, 256, 2);
    ExpectRoundTrip(64, 64, 3, 1);
}

TEST(GifWriter, RefusesInconsistentInput) {
    const auto palette = TestPalette(4);
    GifFrame frame = TestFrame(4, 4, 4, 1);
    EXPECT_TRUE(EncodeGif(5, 4, palette, {frame}).empty()) << "frame size";
    EXPECT_TRUE(EncodeGif(4, 4, palette, {}).empty()) << "no frames";
    EXPECT_TRUE(EncodeGif(4, 4, {}, {frame}).empty()) << "no palette";
    frame.pixels[3] = 4;
    EXPECT_TRUE(EncodeGif(4, 4, palette, {frame}).empty()) << "index outside the palette";
    EXPECT_TRUE(EncodeGif(4, 4, TestPalette(257), {TestFrame(4, 4, 4, 1)}).empty());
}

TEST(Picture, GifPlaysAndStops) {
    CTPicture picture;
    picture.resize(64, 64);
    ASSERT_TRUE(picture.Load(SkinFile("wait_search.gif")));
    EXPECT_TRUE(picture.IsAnimated());
    EXPECT_GT(picture.FrameCount(), 1);
    EXPECT_FALSE(picture.IsPlaying()) << "still until started";
    picture.show();
    const int first = picture.CurrentFrame();
    picture.Start();
    EXPECT_TRUE(picture.IsPlaying());
    QTRY_VERIFY(picture.CurrentFrame() != first);
    QTRY_VERIFY(picture.CurrentFrame() == 0 && picture.IsPlaying());
    picture.Stop();
    EXPECT_FALSE(picture.IsPlaying());
    const int stoppedAt = picture.CurrentFrame();
    // A second picture that plays on: once it has moved on twice, the stopped one would have too.
    CTPicture clock;
    ASSERT_TRUE(clock.Load(SkinFile("wait_search.gif")));
    clock.show();
    clock.Start();
    int seen = clock.CurrentFrame();
    int advances = 0;
    const auto movedOnTwice = [&] {
        advances += clock.CurrentFrame() != seen ? 1 : 0;
        seen = clock.CurrentFrame();
        return advances >= 2;
    };
    QTRY_VERIFY(movedOnTwice());
    EXPECT_EQ(picture.CurrentFrame(), stoppedAt);

    picture.Start();
    EXPECT_TRUE(picture.IsPlaying());
}

TEST(Picture, StillPicturesAndBackground) {
    CTPicture picture;
    picture.resize(80, 40);
    picture.SetBackgroundColour(QColor(5, 6, 7));
    ASSERT_TRUE(picture.Load(SkinFile("singal_strength5.bmp")));
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_EQ(picture.FrameCount(), 1);
    EXPECT_FALSE(picture.PictureSize().isEmpty());
    EXPECT_EQ(picture.grab().toImage().pixelColor(79, 39), QColor(5, 6, 7)) << "uncovered area";
    EXPECT_FALSE(picture.Load(QStringLiteral("/missing.gif")));
    EXPECT_EQ(picture.FrameCount(), 0);
    EXPECT_FALSE(picture.LoadFromData(QByteArray("GIF89a broken")));
}

} // namespace
} // namespace rf
