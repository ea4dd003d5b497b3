#pragma once

#include <cstdint>
#include <vector>

namespace rf {

// One picture of an animation: a palette index per pixel, row by row, and how long it shows.
struct GifFrame {
    std::vector<std::uint8_t> pixels;
    int delayCentiseconds = 10;
};

// A GIF89a file of frames of width x height sharing one palette (0xRRGGBB, at most 256 colours), looping
// forever. Empty when the sizes do not match.
std::vector<std::uint8_t> EncodeGif(int width, int height, const std::vector<std::uint32_t>& palette,
                                    const std::vector<GifFrame>& frames);

} // namespace rf
