#pragma once

#include "pages/DeviceRows.h"
#include "store/SortKey.h"
#include "ui/SkinPaths.h"

#include <optional>
#include <string>
#include <vector>

namespace rf {

// One column of a device list.
struct ListColumn {
    DeviceField field;
    const char* header; // language key
    int width;          // pixels
    bool sorts;         // a click on the header reorders the list by the field
    bool clickable;     // clicks in the column act (hand cursor)
};

// The columns of one page's device list and what else sets the list apart.
struct DeviceListLayout {
    std::vector<ListColumn> columns;
    // Devices that answered the search but have not sent their details fill up the last page.
    bool listsAnnounced = false;
    // The picture of the operate column's button; none when the column shows no button.
    std::string SkinPaths::*operateImage = nullptr;

    // The grid column of a field, or -1 when the page does not show it.
    int ColumnOf(DeviceField field) const;
    // The field a grid column shows, or kDeviceFieldCount for a column outside the list.
    DeviceField FieldAt(int column) const;
    // The order a header click asks for, or none when the column does not sort.
    std::optional<SortKey> SortKeyOf(int column) const;
    // Columns that keep their width when the grid has room to spare.
    bool IsFixedWidth(int column) const;
    // Columns that show words: not the tick box, not the operate button.
    bool ShowsText(int column) const;
};

// Rows as a spreadsheet takes them: a line of the titles of the columns that show text, then one line per
// row with those columns' texts, fields separated by tabs, every line ending in a line break. titles holds
// one title per column of the layout.
std::string RowsAsText(const DeviceListLayout& layout, const std::vector<std::string>& titles,
                       const std::vector<const DeviceRow*>& rows);

// The list of a page with a device list (HasDeviceList).
const DeviceListLayout& DeviceListLayoutOf(int pageId);

} // namespace rf
