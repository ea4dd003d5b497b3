#include "pages/DeviceListRows.h"

#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <iterator>

namespace rf {

DeviceListPageRows LoadDeviceListPage(CSqlManagement& store, CNetManagement& engine,
                                      const DeviceListLayout& layout, const DeviceListQuery& query,
                                      int page) {
    DeviceListPageRows result;
    std::vector<ap_info_stu> stored;
    store.QueryDevicePage(query.key, query.filter, query.ascending, query.pageSize, page, stored,
                          result.pageCount, result.onlineCount);
    if (page > 1 && page > result.pageCount) {
        page = std::max(result.pageCount, 1);
        stored.clear();
        store.QueryDevicePage(query.key, query.filter, query.ascending, query.pageSize, page, stored,
                              result.pageCount, result.onlineCount);
    }
    result.page = page;
    std::vector<ap_info_stu> announced;
    const int room = AnnouncedRoom(static_cast<int>(stored.size()), query.pageSize, page, result.pageCount);
    if (room > 0 && layout.listsAnnounced) {
        engine.ListAnnouncedDevices(announced, room, query.filter);
    }
    result.rows = BuildDeviceRows(stored, announced, query.pageSize, page);
    AddConflictTips(result.rows, engine.OnlineList());
    return result;
}

std::vector<DeviceRow> LoadAllDeviceListRows(CSqlManagement& store, CNetManagement& engine,
                                             const DeviceListLayout& layout, const DeviceListQuery& query) {
    std::vector<DeviceRow> rows;
    int pageCount = 1;
    for (int page = 1; page <= pageCount; ++page) {
        DeviceListPageRows loaded = LoadDeviceListPage(store, engine, layout, query, page);
        if (loaded.page != page) {
            break; // the list shrank meanwhile: this page's rows were already taken
        }
        pageCount = loaded.pageCount;
        std::move(loaded.rows.begin(), loaded.rows.end(), std::back_inserter(rows));
    }
    return rows;
}

} // namespace rf
