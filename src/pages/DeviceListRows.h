#pragma once

#include "pages/DeviceListLayout.h"
#include "pages/DeviceRows.h"
#include "store/SortKey.h"

#include <string>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// What a device list shows and in which order, read from the store and the engine without a window.
struct DeviceListQuery {
    SortKey key = SortKey::IpAddress;
    std::string filter;
    bool ascending = false;
    int pageSize = 30;
};

// One page of a list: its rows, the page they are (a page past the last one gives the last page), the
// number of pages and of online devices among those that match.
struct DeviceListPageRows {
    std::vector<DeviceRow> rows;
    int page = 1;
    int pageCount = 0;
    int onlineCount = 0;
};

DeviceListPageRows LoadDeviceListPage(CSqlManagement& store, CNetManagement& engine,
                                      const DeviceListLayout& layout, const DeviceListQuery& query, int page);
// Every row of every page of the list in its order, numbered as the pages number them.
std::vector<DeviceRow> LoadAllDeviceListRows(CSqlManagement& store, CNetManagement& engine,
                                             const DeviceListLayout& layout, const DeviceListQuery& query);

} // namespace rf
