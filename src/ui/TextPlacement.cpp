#include "ui/TextPlacement.h"

#include <algorithm>

namespace rf {

TextPoint PlaceButtonText(int alignment, int margin, int width, int height, int textWidth, int textHeight) {
    const int middle = (height - textHeight) / 2;
    const int centre = (width - textWidth) / 2;
    const int bottom = height - textHeight;
    TextPoint p;
    switch (alignment) {
    case kAlignLeft:
        p = {margin + 2, middle};
        break;
    case kAlignRight:
        p = {width - margin - textWidth - 2, middle};
        break;
    case kAlignCentre:
        p = {std::max(centre, margin), middle}; // a picture may lie left of the margin
        break;
    case kAlignTopCentre:
        p = {centre, 0};
        break;
    case kAlignBottomLeft:
        p = {0, bottom};
        break;
    case kAlignBottomCentre:
        p = {centre, bottom};
        break;
    default:
        break;
    }
    return {std::max(p.x, 0), std::max(p.y, 0)};
}

} // namespace rf
