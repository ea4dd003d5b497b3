#include "ui/GridCells.h"

#include "core/Settings.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"

namespace rf {

namespace {

void SetDataCell(CGridCtrl& grid, int row, int column, const QString& text, unsigned format,
                 ColourRef colour) {
    const Settings& s = GlobalSettings();
    grid.SetCellFormat(row, column, format);
    grid.SetCellFont(row, column, ToQFont(s.gridFont));
    grid.SetCellText(row, column, text);
    grid.SetCellTextColour(row, column, ToQColor(colour));
    grid.SetRowHeight(row, s.gridRowHeight > 0 ? s.gridRowHeight : CGridCtrl::kDefaultRowHeight);
}

} // namespace

void ApplyGridSettings(CGridCtrl& grid) {
    const Settings& s = GlobalSettings();
    grid.SetGridBackground(ToQColor(s.childBkColor));
    grid.SetGridLineColour(ToQColor(s.lineColor));
}

void SetHeaderCell(CGridCtrl& grid, int column, int width, const QString& text) {
    const Settings& s = GlobalSettings();
    grid.SetCellFormat(0, column, kFormatCentred);
    grid.SetColumnWidth(column, width);
    grid.SetCellText(0, column, text);
    grid.SetCellFont(0, column, ToQFont(s.gridTitleFont));
    grid.SetCellTextColour(0, column, ToQColor(s.gridTitleTextColor));
    grid.SetCellBackground(0, column, ToQColor(s.gridTitleBkColor));
    grid.RedrawRow(0);
}

void SetNormalCell(CGridCtrl& grid, int row, int column, const QString& text, unsigned format) {
    SetDataCell(grid, row, column, text, format, GlobalSettings().gridTextColor);
}

void SetOfflineCell(CGridCtrl& grid, int row, int column, const QString& text, unsigned format) {
    SetDataCell(grid, row, column, text, format, GlobalSettings().textUnlineColor);
}

void SetOnlineCell(CGridCtrl& grid, int row, int column, const QString& text, unsigned format) {
    SetDataCell(grid, row, column, text, format, GlobalSettings().textOnlineColor);
}

} // namespace rf
