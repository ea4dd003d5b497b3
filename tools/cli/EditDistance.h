#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace rf {

// The fewest insertions, deletions, substitutions and swaps of two neighbouring characters that turn one
// text into the other ("serch" -> "search": 1, "sacn" -> "scan": 1), byte by byte.
size_t EditDistance(std::string_view from, std::string_view to);

// The known word nearest to a typed one when it is near enough to suggest (at most two edits, and at most
// one for every three characters typed); the first of equally near ones; empty when none is.
std::string_view NearestWord(std::string_view typed, const std::vector<std::string_view>& known);

} // namespace rf
