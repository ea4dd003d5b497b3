#pragma once

#include <vector>

namespace rf {

// The page-number strip of the device lists shows at most seven slots. A slot holds a page number or
// kEllipsisSlot ("...").
inline constexpr int kEllipsisSlot = -1;
inline constexpr int kVisibleSlots = 7;

// The slots for pageCount pages with page current shown: all pages when there are seven or fewer,
// otherwise the first and last page, the current one with its neighbours, and "..." for the gaps.
std::vector<int> ComputePageSlots(int pageCount, int current);

struct SlotRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    bool operator==(const SlotRect&) const = default;
};

inline constexpr int kSlotHeight = 24;
inline constexpr int kSlotGap = 3;

// Width of a slot whose text is textWidth pixels wide.
int SlotWidth(int textWidth);

// Places slots of the given widths in a strip of stripWidth x stripHeight pixels: 24 high, centred
// vertically, 3 pixels apart; the row centred (alignment 1), right-aligned (2) or 2 pixels from the left.
std::vector<SlotRect> LayoutSlots(const std::vector<int>& slotWidths, int stripWidth, int stripHeight,
                                  int alignment);

// The index of the slot under (x, y), or -1.
int SlotAt(const std::vector<SlotRect>& rects, int x, int y);

} // namespace rf
