#pragma once

#include <cstddef>
#include <string_view>

namespace rf {

// The fewest insertions, deletions, substitutions and swaps of two neighbouring characters that turn one
// text into the other ("serch" -> "search": 1, "sacn" -> "scan": 1), byte by byte.
size_t EditDistance(std::string_view from, std::string_view to);

// Whether a typed word is near enough to a known one to suggest it: at most two edits, and at most one
// edit for every three characters typed.
bool IsCloseTypo(std::string_view typed, std::string_view known);

} // namespace rf
