#include "EditDistance.h"

#include <algorithm>
#include <vector>

namespace rf {

size_t EditDistance(std::string_view from, std::string_view to) {
    const size_t columns = to.size() + 1;
    // Three rows of the table: two back, the last one and the one being filled.
    std::vector<size_t> twoBack(columns), last(columns), row(columns);
    for (size_t j = 0; j < columns; ++j) {
        last[j] = j;
    }
    for (size_t i = 1; i <= from.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j < columns; ++j) {
            const size_t substitution = last[j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, substitution});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1]) {
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
            }
        }
        std::swap(twoBack, last);
        std::swap(last, row);
    }
    return last[to.size()];
}

std::string_view NearestWord(std::string_view typed, const std::vector<std::string_view>& known) {
    std::string_view nearest;
    size_t best = 3; // more edits than a suggestion may take
    for (const std::string_view word : known) {
        const size_t distance = EditDistance(typed, word);
        if (distance < best && distance * 3 <= typed.size()) {
            nearest = word;
            best = distance;
        }
    }
    return nearest;
}

} // namespace rf
