#pragma once

#include "ui/CellFormat.h"

#include <QString>

namespace rf {

class CGridCtrl;
struct Settings;

// How the pages fill their grids, with the fonts and colours of the settings.

// The grid-wide look every page gives its grid: page background and line colour.
void ApplyGridSettings(const Settings& settings, CGridCtrl& grid);
// A header cell: centred text in the header font and colours, and the column's width.
void SetHeaderCell(const Settings& settings, CGridCtrl& grid, int column, int width, const QString& text);
// A data cell in the cell font and the normal text colour; the row 48 pixels high.
void SetNormalCell(const Settings& settings, CGridCtrl& grid, int row, int column, const QString& text,
                   unsigned format = kFormatCentred);
// As a normal cell, in the colour of devices that are not online.
void SetOfflineCell(const Settings& settings, CGridCtrl& grid, int row, int column, const QString& text,
                    unsigned format = kFormatCentred);
// As a normal cell, in the colour of online devices.
void SetOnlineCell(const Settings& settings, CGridCtrl& grid, int row, int column, const QString& text,
                   unsigned format = kFormatCentred);

} // namespace rf
