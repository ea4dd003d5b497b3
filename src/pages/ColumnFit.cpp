#include "pages/ColumnFit.h"

#include "pages/DeviceRows.h"

#include <algorithm>
#include <numeric>

namespace rf {

std::vector<int> FitColumnWidths(const std::vector<int>& widths, const std::vector<bool>& grows,
                                 std::size_t shrinks, int minimum, int available) {
    const int total = std::accumulate(widths.begin(), widths.end(), 0);
    if (total <= available || shrinks >= widths.size()) {
        return SpreadColumnWidths(widths, grows, available);
    }
    std::vector<int> fitted = widths;
    const int floor = std::min(minimum, widths[shrinks]);
    fitted[shrinks] = std::max(floor, widths[shrinks] - (total - available));
    return fitted;
}

} // namespace rf
