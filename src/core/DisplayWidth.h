#pragma once

#include <cstddef>
#include <string_view>

namespace rf {

// Terminal columns a character takes: 2 for East Asian wide and full-width characters (CJK ideographs,
// kana, Hangul, full-width forms, most emoji), 0 for combining marks, zero-width joiners and variation
// selectors, 1 for every other character.
int CharacterWidth(char32_t c);

// Terminal columns of a UTF-8 text; a byte that does not start a valid character counts as one column
// (terminals show it as one replacement sign).
size_t DisplayWidth(std::string_view text);

} // namespace rf
