#include "ui/PageSlots.h"

#include <cstddef>
#include <numeric>

namespace rf {

std::vector<int> ComputePageSlots(int pageCount, int current) {
    std::vector<int> slots;
    if (pageCount <= 0) {
        return slots;
    }
    if (pageCount <= kVisibleSlots) {
        slots.resize(static_cast<size_t>(pageCount));
        std::iota(slots.begin(), slots.end(), 1);
        return slots;
    }
    const int n = pageCount;
    const int c = current;
    slots.push_back(1);
    if (c <= 4) {
        slots.insert(slots.end(), {2, 3, 4, 5, kEllipsisSlot});
    } else if (c < n - 3) {
        slots.insert(slots.end(), {kEllipsisSlot, c - 1, c, c + 1, kEllipsisSlot});
    } else {
        slots.insert(slots.end(), {kEllipsisSlot, n - 4, n - 3, n - 2, n - 1});
    }
    slots.push_back(n);
    return slots;
}

int SlotWidth(int textWidth) {
    return textWidth < 24 ? 32 : textWidth + 8;
}

std::vector<SlotRect> LayoutSlots(const std::vector<int>& slotWidths, int stripWidth, int stripHeight,
                                  int alignment) {
    std::vector<SlotRect> rects;
    if (slotWidths.empty()) {
        return rects;
    }
    const int total = std::accumulate(slotWidths.begin(), slotWidths.end(), 0) +
                      kSlotGap * static_cast<int>(slotWidths.size() - 1);
    int x = 2;
    if (alignment == 1) {
        x = (stripWidth - total) / 2;
    } else if (alignment == 2) {
        x = stripWidth - total;
    }
    const int y = (stripHeight - kSlotHeight) / 2;
    for (const int width : slotWidths) {
        rects.push_back({x, y, width, kSlotHeight});
        x += width + kSlotGap;
    }
    return rects;
}

int SlotAt(const std::vector<SlotRect>& rects, int x, int y) {
    for (size_t i = 0; i < rects.size(); ++i) {
        if (rects[i].Contains(x, y)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace rf
