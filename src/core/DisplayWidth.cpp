#include "DisplayWidth.h"

#include "core/OperateCharacter.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace rf {
namespace {

struct Range {
    char32_t first, last;
};

// Sorted, not overlapping.
constexpr std::array<Range, 19> kZeroWidth{{
    {0x0300, 0x036F},   // combining diacritical marks
    {0x0483, 0x0489},   // Cyrillic combining marks
    {0x0591, 0x05BD},   // Hebrew points
    {0x0610, 0x061A},   // Arabic marks
    {0x064B, 0x065F},   // Arabic vowel marks
    {0x0E31, 0x0E31},   // Thai vowel sign
    {0x0E34, 0x0E3A},   // Thai vowel signs
    {0x0E47, 0x0E4E},   // Thai tone marks
    {0x1AB0, 0x1AFF},   // combining diacritical marks, extended
    {0x1DC0, 0x1DFF},   // combining diacritical marks, supplement
    {0x200B, 0x200F},   // zero-width space and joiners, direction marks
    {0x2060, 0x2064},   // word joiner, invisible operators
    {0x20D0, 0x20FF},   // combining marks for symbols
    {0x302A, 0x302D},   // ideographic tone marks
    {0x3099, 0x309A},   // combining kana voicing
    {0xFE00, 0xFE0F},   // variation selectors
    {0xFE20, 0xFE2F},   // combining half marks
    {0xFEFF, 0xFEFF},   // byte order mark
    {0xE0100, 0xE01EF}, // variation selectors, supplement
}};

constexpr std::array<Range, 18> kWide{{
    {0x1100, 0x115F}, // Hangul leading consonants
    {0x231A, 0x231B},
    {0x2329, 0x232A},
    {0x2E80, 0x3029}, // CJK radicals, ideographic punctuation
    {0x302E, 0x303E},
    {0x3041, 0x3096},
    {0x309B, 0x33FF}, // kana, bopomofo, CJK compatibility
    {0x3400, 0x4DBF}, // CJK extension A
    {0x4E00, 0xA4CF}, // CJK ideographs, Yi
    {0xA960, 0xA97F},
    {0xAC00, 0xD7A3}, // Hangul syllables
    {0xF900, 0xFAFF}, // CJK compatibility ideographs
    {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F}, // vertical and small forms
    {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   // full-width forms
    {0x1F300, 0x1FAFF}, // emoji and pictographs
    {0x20000, 0x3FFFD}, // CJK extensions B and later
}};

template <size_t N> bool Within(const std::array<Range, N>& ranges, char32_t c) {
    const auto it = std::ranges::upper_bound(ranges, c, {}, &Range::first);
    return it != ranges.begin() && c <= std::prev(it)->last;
}

} // namespace

int CharacterWidth(char32_t c) {
    if (Within(kZeroWidth, c)) {
        return 0;
    }
    return Within(kWide, c) ? 2 : 1;
}

size_t DisplayWidth(std::string_view text) {
    size_t width = 0;
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8(text, pos);
        width += c.length == 0 ? 1 : static_cast<size_t>(CharacterWidth(c.codePoint));
        pos += std::max<size_t>(c.length, 1);
    }
    return width;
}

} // namespace rf
