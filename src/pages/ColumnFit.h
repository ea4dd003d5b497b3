#pragma once

#include <cstddef>
#include <vector>

namespace rf {

// Column widths for a grid area of `available` pixels. Room beyond the widths' sum is shared among the
// columns that grow (as SpreadColumnWidths does); a shortfall is taken from column `shrinks`, which keeps
// at least `minimum` pixels, so that the other columns are never cut while the area allows.
std::vector<int> FitColumnWidths(const std::vector<int>& widths, const std::vector<bool>& grows,
                                 std::size_t shrinks, int minimum, int available);

} // namespace rf
