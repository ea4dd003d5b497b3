#include "store/DevicePageSql.h"

#include "store/DeviceListIndex.h"
#include "store/RecordColumns.h"

namespace rf {

namespace {

// LIKE ignores ASCII case and reads a number column as its decimal text. Parameter ?1 is the pattern.
std::string FilterClause() {
    std::string clause = " WHERE ";
    for (size_t i = 0; i < kFilterColumns.size(); ++i) {
        clause += i == 0 ? "" : " OR ";
        clause += "ap_info." + std::string(kFilterColumns[i]) + " LIKE ?1 ESCAPE '\\'";
    }
    return clause;
}

std::string ListFilterClause(ListTest test) {
    const std::string list(kListTable);
    switch (test) {
    case ListTest::Found:
        return " WHERE list_match(" + list + ".ID)";
    case ListTest::Named:
        return " WHERE " + list + ".ID IN (SELECT value FROM json_each(?1))";
    case ListTest::Every:
        return {};
    case ListTest::Like:
        break;
    }
    return " WHERE " + list + "." + std::string(kListTextColumn) + " LIKE ?1 ESCAPE '\\'";
}

bool IsTextColumn(std::span<const Column> columns, std::string_view name) {
    for (const auto& column : columns) {
        if (column.name == name) {
            return column.type == ColumnType::Text;
        }
    }
    return false;
}

} // namespace

std::string ContainsPattern(std::string_view text) {
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "%";
}

std::string OrderClause(std::span<const Column> columns, std::string_view table, const std::string& column,
                        bool ascending) {
    const std::string bare = column.substr(column.find('.') + 1);
    std::string clause = " ORDER BY " + column;
    if (IsTextColumn(columns, bare)) {
        clause += " COLLATE NOCASE";
    }
    return clause + (ascending ? " ASC," : " DESC,") + std::string(table) + ".ID";
}

const std::string& DeviceSelect() {
    static const std::string sql =
        "SELECT ap_info.ID," + ColumnListSql(kDeviceTable, kDeviceColumns, true) + " FROM ap_info";
    return sql;
}

DeviceSource SourceFor(std::string_view filter) {
    if (filter.empty()) {
        return DeviceSource::All;
    }
    if (!DeviceListIndexServes(filter)) {
        return DeviceSource::Wide;
    }
    return IsAsciiFilter(filter) ? DeviceSource::Cached : DeviceSource::Listed;
}

std::string CountSql(DeviceSource source) {
    switch (source) {
    case DeviceSource::Listed:
        return "SELECT count(*),count(nullif(ap_status,0)),list_ids(ID," + std::to_string(kFewMatches) +
               ") FROM " + std::string(kListTable) + ListFilterClause(ListTest::Like);
    case DeviceSource::All:
    case DeviceSource::Cached:
    case DeviceSource::Wide:
        break;
    }
    return "SELECT count(*),count(nullif(ap_status,0)),NULL FROM ap_info" + FilterClause();
}

std::string PageIdsSql(const std::string& key, bool ascending, bool walkIndex, ListTest test) {
    const std::string collate = IsTextColumn(kDeviceColumns, key) ? " COLLATE NOCASE" : "";
    const std::string list(kListTable);
    return "SELECT " + list + ".ID AS id," + (walkIndex ? "" : "+") + list + "." + key + " AS k FROM " +
           list + ListFilterClause(test) + " ORDER BY k" + collate + (ascending ? " ASC" : " DESC") +
           ",id LIMIT ?2 OFFSET ?3";
}

const std::string& DevicesByIdSql() {
    static const std::string sql = DeviceSelect() + " WHERE ap_info.ID IN (SELECT value FROM json_each(?1))";
    return sql;
}

std::string JsonArray(const std::vector<std::int64_t>& ids) {
    std::string json = "[";
    for (const std::int64_t id : ids) {
        json += (json.size() > 1 ? "," : "") + std::to_string(id);
    }
    return json + "]";
}

std::string WidePageSql(const std::string& column, bool ascending) {
    return DeviceSelect() + FilterClause() + OrderClause(kDeviceColumns, kDeviceTable, column, ascending) +
           " LIMIT ?2 OFFSET ?3";
}

const std::string& ScanSelect() {
    static const std::string sql =
        "SELECT ID," + ColumnListSql(kScanTable, kScanColumns, false) + " FROM ap_other_info";
    return sql;
}

} // namespace rf
