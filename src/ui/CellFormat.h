#pragma once

namespace rf {

// Text-drawing flags of a grid cell, combined with |.
enum CellFormat : unsigned {
    kFormatLeft = 0x0,
    kFormatCentre = 0x1,
    kFormatRight = 0x2,
    kFormatTop = 0x0,
    kFormatVCentre = 0x4,
    kFormatBottom = 0x8,
    kFormatSingleLine = 0x20,
};

// The format of every list cell: centred on one line.
inline constexpr unsigned kFormatCentred = kFormatCentre | kFormatVCentre | kFormatSingleLine;

} // namespace rf
