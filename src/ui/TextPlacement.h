#pragma once

namespace rf {

// Text placement codes of the picture buttons.
inline constexpr int kAlignLeft = 256;
inline constexpr int kAlignRight = 512;
inline constexpr int kAlignCentre = 768;
inline constexpr int kAlignTopCentre = 1792;
inline constexpr int kAlignBottomLeft = 2048;
inline constexpr int kAlignBottomCentre = 2816;

struct TextPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TextPoint&) const = default;
};

// Top-left corner of a text of textWidth x textHeight in a button of width x height, placed by the
// alignment code; margin applies to the left and right placements, and a centred text never begins left of
// it. Negative coordinates become 0.
TextPoint PlaceButtonText(int alignment, int margin, int width, int height, int textWidth, int textHeight);

} // namespace rf
