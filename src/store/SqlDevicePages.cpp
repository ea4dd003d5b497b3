#include "store/SqlManagement.h"

#include "store/DeviceListIndex.h"
#include "store/DevicePageSql.h"
#include "store/ReadTransaction.h"
#include "store/RecordColumns.h"
#include "store/StatementUse.h"

// The device list's pages and counts, read under one read transaction.
namespace rf {

// The counts first, from one aggregate; then, when the page holds any row, the page.
bool CSqlManagement::QueryDevicePage(SortKey key, std::string_view filter, bool ascending, int pageSize,
                                     int page, std::vector<ap_info_stu>& devices, int& pageCount,
                                     int& onlineCount) {
    const std::string column = GetDeviceSortColumn(key);
    if (column.empty() || pageSize < 1) {
        return false;
    }
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    const ReadTransaction transaction(db_);
    const DeviceSource source = SourceFor(filter);
    const std::string pattern = source == DeviceSource::All      ? std::string()
                                : source == DeviceSource::Cached ? LowerAscii(filter)
                                                                 : ContainsPattern(filter);
    std::int64_t total = 0;
    std::int64_t online = 0;
    std::string ids;
    const bool counted = source == DeviceSource::Cached || source == DeviceSource::All
                             ? FindListed(pattern, total, online, ids)
                             : CountDevices(CountSql(source), pattern, total, online, ids);
    if (!counted) {
        return false;
    }
    std::vector<ap_info_stu> found;
    const std::int64_t offset = static_cast<std::int64_t>(page - 1) * pageSize;
    if (page >= 1 && offset < total) {
        // A few matches are named by their IDs; many are found again in ap_list, following the key's index
        // when they are dense enough to fill the page early.
        const bool few = !ids.empty();
        const bool dense = 3 * (offset + pageSize) < total;
        const ListTest test = few                              ? ListTest::Named
                              : source == DeviceSource::All    ? ListTest::Every
                              : source == DeviceSource::Cached ? ListTest::Found
                                                               : ListTest::Like;
        const std::string bound = few ? "[" + ids + "]" : test == ListTest::Like ? pattern : std::string();
        const bool read =
            source == DeviceSource::Wide
                ? ReadPage(Prepared(WidePageSql(column, ascending)), pattern, pageSize, offset, found)
                : ReadPageByIds(Prepared(PageIdsSql(ListKeyColumn(key), ascending, dense, test)), bound,
                                pageSize, offset, found);
        if (!read) {
            return false;
        }
    }
    devices.insert(devices.end(), found.begin(), found.end());
    pageCount = static_cast<int>(total / pageSize + (total % pageSize != 0 ? 1 : 0));
    onlineCount = static_cast<int>(online);
    return true;
}

bool CSqlManagement::CountDevices(const std::string& sql, std::string_view pattern, std::int64_t& total,
                                  std::int64_t& online, std::string& ids) {
    auto& count = Prepared(sql);
    if (!count.Valid()) {
        return false;
    }
    StatementUse use(count);
    if (!pattern.empty()) {
        count.BindText(1, pattern);
    }
    if (!count.Step()) {
        return false;
    }
    total = count.ColumnInt(0);
    online = count.ColumnInt(1);
    ids = count.ColumnText(2);
    return true;
}

bool CSqlManagement::FindListed(std::string_view lowered, std::int64_t& total, std::int64_t& online,
                                std::string& ids) {
    CListTextCache::Matches matches;
    if (listCache_ == nullptr ||
        !(lowered.empty() ? listCache_->CountAll(matches) : listCache_->Find(lowered, matches))) {
        return false;
    }
    total = matches.total;
    online = matches.online;
    for (size_t i = 0; !lowered.empty() && total <= kFewMatches && i < matches.ids.size(); ++i) {
        ids += (i == 0 ? "" : ",") + std::to_string(matches.ids[i]);
    }
    return true;
}

bool CSqlManagement::ReadPage(CSqliteStatement& rows, std::string_view pattern, int pageSize,
                              std::int64_t offset, std::vector<ap_info_stu>& found) {
    if (!rows.Valid()) {
        return false;
    }
    StatementUse use(rows);
    if (!pattern.empty()) {
        rows.BindText(1, pattern);
    }
    rows.BindInt(2, pageSize);
    rows.BindInt(3, offset);
    while (rows.Step()) {
        found.push_back(DeviceFromRow(rows));
    }
    return rows.Done();
}

bool CSqlManagement::ReadPageByIds(CSqliteStatement& pageIds, std::string_view bound, int pageSize,
                                   std::int64_t offset, std::vector<ap_info_stu>& found) {
    std::vector<std::int64_t> ids;
    {
        if (!pageIds.Valid()) {
            return false;
        }
        StatementUse use(pageIds);
        if (!bound.empty()) {
            pageIds.BindText(1, bound);
        }
        pageIds.BindInt(2, pageSize);
        pageIds.BindInt(3, offset);
        while (pageIds.Step()) {
            ids.push_back(pageIds.ColumnInt(0));
        }
        if (!pageIds.Done()) {
            return false;
        }
    }
    // One statement reads them all, and they are put back in the page's order here.
    std::unordered_map<std::int64_t, size_t> places;
    for (size_t i = 0; i < ids.size(); ++i) {
        places.emplace(ids[i], i);
    }
    auto& rows = Prepared(DevicesByIdSql());
    if (!rows.Valid()) {
        return false;
    }
    StatementUse use(rows);
    rows.BindText(1, JsonArray(ids));
    std::vector<std::optional<ap_info_stu>> page(ids.size());
    while (rows.Step()) {
        const auto place = places.find(rows.ColumnInt(0));
        if (place != places.end()) {
            page[place->second] = DeviceFromRow(rows);
        }
    }
    for (auto& device : page) {
        if (device) {
            found.push_back(*device);
        }
    }
    return rows.Done();
}

bool CSqlManagement::ListDeviceIps(std::vector<std::string>& ips) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& rows = Prepared("SELECT ip FROM ap_info ORDER BY ID");
    if (rows.Valid()) {
        StatementUse use(rows);
        while (rows.Step()) {
            ips.push_back(rows.ColumnText(0));
        }
    }
    return true;
}

bool CSqlManagement::ListDeviceMacs(std::vector<std::string>& macs) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& rows = Prepared("SELECT mac FROM ap_info ORDER BY ID");
    if (rows.Valid()) {
        StatementUse use(rows);
        while (rows.Step()) {
            macs.push_back(rows.ColumnText(0));
        }
    }
    return true;
}

} // namespace rf
