#include "GifWriter.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace rf {

namespace {

constexpr int kMaxCode = 4095;

class ByteSink {
public:
    explicit ByteSink(std::vector<std::uint8_t>& out) : out_(out) {}
    void Byte(unsigned value) { out_.push_back(static_cast<std::uint8_t>(value & 0xFF)); }
    void Word(unsigned value) {
        Byte(value);
        Byte(value >> 8);
    }
    void Text(std::string_view text) {
        for (const char c : text) {
            Byte(static_cast<unsigned char>(c));
        }
    }

private:
    std::vector<std::uint8_t>& out_;
};

// Packs variable-width codes least significant bit first into sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    void Put(int code, int width) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish(ByteSink& sink) {
        if (count_ > 0) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_ & 0xFF));
        }
        for (size_t at = 0; at < bytes_.size(); at += 255) {
            const size_t n = std::min<size_t>(255, bytes_.size() - at);
            sink.Byte(static_cast<unsigned>(n));
            for (size_t i = 0; i < n; ++i) {
                sink.Byte(bytes_[at + i]);
            }
        }
        sink.Byte(0);
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

// LZW compression of one frame's indices as the GIF format defines it.
void CompressFrame(const std::vector<std::uint8_t>& pixels, int minCodeSize, ByteSink& sink) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<std::int16_t> table(static_cast<size_t>(kMaxCode + 1) * 256, -1);
    int codeSize = minCodeSize + 1;
    int next = end + 1;
    CodeWriter writer;
    writer.Put(clear, codeSize);
    int prefix = pixels.front();
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int k = pixels[i];
        const size_t key = static_cast<size_t>(prefix) * 256 + static_cast<size_t>(k);
        if (table[key] >= 0) {
            prefix = table[key];
            continue;
        }
        writer.Put(prefix, codeSize);
        table[key] = static_cast<std::int16_t>(next);
        if (next >= (1 << codeSize)) {
            ++codeSize;
        }
        ++next;
        if (next > kMaxCode) {
            writer.Put(clear, codeSize);
            std::fill(table.begin(), table.end(), static_cast<std::int16_t>(-1));
            codeSize = minCodeSize + 1;
            next = end + 1;
        }
        prefix = k;
    }
    writer.Put(prefix, codeSize);
    writer.Put(end, codeSize);
    writer.Finish(sink);
}

int TableBits(size_t colours) {
    int bits = 1;
    while ((size_t{1} << bits) < colours) {
        ++bits;
    }
    return bits;
}

} // namespace

std::vector<std::uint8_t> EncodeGif(int width, int height, const std::vector<std::uint32_t>& palette,
                                    const std::vector<GifFrame>& frames) {
    std::vector<std::uint8_t> out;
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF || palette.empty() ||
        palette.size() > 256 || frames.empty()) {
        return out;
    }
    for (const GifFrame& frame : frames) {
        if (frame.pixels.size() != area) {
            return out;
        }
        for (const std::uint8_t index : frame.pixels) {
            if (index >= palette.size()) {
                return out;
            }
        }
    }
    const int bits = TableBits(palette.size());
    ByteSink sink(out);
    sink.Text("GIF89a");
    sink.Word(static_cast<unsigned>(width));
    sink.Word(static_cast<unsigned>(height));
    sink.Byte(0x80U | (7U << 4) | static_cast<unsigned>(bits - 1));
    sink.Byte(0);
    sink.Byte(0);
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        const std::uint32_t rgb = i < palette.size() ? palette[i] : 0;
        sink.Byte(rgb >> 16);
        sink.Byte(rgb >> 8);
        sink.Byte(rgb);
    }
    sink.Byte(0x21);
    sink.Byte(0xFF);
    sink.Byte(11);
    sink.Text("NETSCAPE2.0");
    sink.Byte(3);
    sink.Byte(1);
    sink.Word(0);
    sink.Byte(0);
    const int minCodeSize = std::max(2, bits);
    for (const GifFrame& frame : frames) {
        sink.Byte(0x21);
        sink.Byte(0xF9);
        sink.Byte(4);
        sink.Byte(1U << 2);
        sink.Word(static_cast<unsigned>(std::max(frame.delayCentiseconds, 0)));
        sink.Byte(0);
        sink.Byte(0);
        sink.Byte(0x2C);
        sink.Word(0);
        sink.Word(0);
        sink.Word(static_cast<unsigned>(width));
        sink.Word(static_cast<unsigned>(height));
        sink.Byte(0);
        sink.Byte(static_cast<unsigned>(minCodeSize));
        CompressFrame(frame.pixels, minCodeSize, sink);
    }
    sink.Byte(0x3B);
    return out;
}

} // namespace rf
