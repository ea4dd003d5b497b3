#include "ui/GridCells.h"

#include "core/Settings.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"

namespace rf {

namespace {

void SetDataCell(const Settings& s, CGridCtrl& grid, int row, int column, const QString& text,
                 unsigned format, ColourRef colour) {
    grid.SetCellFormat(row, column, format);
    grid.SetCellFont(row, column, ToQFont(s.gridFont));
    grid.SetCellText(row, column, text);
    grid.SetCellTextColour(row, column, ToQColor(colour));
    grid.SetRowHeight(row, s.gridRowHeight > 0 ? s.gridRowHeight : CGridCtrl::kDefaultRowHeight);
}

} // namespace

void ApplyGridSettings(const Settings& s, CGridCtrl& grid) {
    grid.SetGridBackground(ToQColor(s.childBkColor));
    grid.SetGridLineColour(ToQColor(s.lineColor));
}

void SetHeaderCell(const Settings& s, CGridCtrl& grid, int column, int width, const QString& text) {
    grid.SetCellFormat(0, column, kFormatCentred);
    grid.SetColumnWidth(column, width);
    grid.SetCellText(0, column, text);
    grid.SetCellFont(0, column, ToQFont(s.gridTitleFont));
    grid.SetCellTextColour(0, column, ToQColor(s.gridTitleTextColor));
    grid.SetCellBackground(0, column, ToQColor(s.gridTitleBkColor));
    grid.RedrawRow(0);
}

void SetNormalCell(const Settings& s, CGridCtrl& grid, int row, int column, const QString& text,
                   unsigned format) {
    SetDataCell(s, grid, row, column, text, format, s.gridTextColor);
}

void SetOfflineCell(const Settings& s, CGridCtrl& grid, int row, int column, const QString& text,
                    unsigned format) {
    SetDataCell(s, grid, row, column, text, format, s.textUnlineColor);
}

void SetOnlineCell(const Settings& s, CGridCtrl& grid, int row, int column, const QString& text,
                   unsigned format) {
    SetDataCell(s, grid, row, column, text, format, s.textOnlineColor);
}

} // namespace rf
