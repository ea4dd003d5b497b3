#include "store/DeviceListIndex.h"

#include "store/StoreSchema.h"

#include <algorithm>

namespace rf {

namespace {

constexpr char kSeparator = '\x1f';

constexpr std::string_view kIpKeyColumn = "ip_key";

// The sort keys a device list offers, in the order of SortKey; ap_status also gives the online count.
constexpr std::array<std::string_view, 13> kListKeyColumns{
    "mac",      "ip_key",      "ap_name",  "ap_type", "work_mode",          "ssid",
    "channel",  "secure_mode", "tx_power", "version", "bridge_transparent", "up_time",
    "ap_status"};

std::string KeyColumnType(std::string_view name) {
    for (const auto& column : kDeviceColumns) {
        if (column.name == name) {
            return column.type == ColumnType::Text     ? "TEXT"
                   : column.type == ColumnType::Double ? "REAL"
                                                       : "INTEGER";
        }
    }
    return name == kIpKeyColumn ? "INTEGER" : "TEXT";
}

std::string KeyColumnNames() {
    std::string sql;
    for (const std::string_view key : kListKeyColumns) {
        sql += "," + std::string(key);
    }
    return sql;
}

// The value of a key taken from an ap_info row (prefix "new." in a trigger).
std::string KeyValue(std::string_view key, std::string_view prefix) {
    return key == kIpKeyColumn ? IpKeySql(std::string(prefix) + "ip_num")
                               : std::string(prefix) + std::string(key);
}

std::string KeyValues(std::string_view prefix) {
    std::string sql;
    for (const std::string_view key : kListKeyColumns) {
        sql += "," + KeyValue(key, prefix);
    }
    return sql;
}

// The filter columns of a row (prefix "new." in a trigger) joined by the separator, ASCII letters lowered
// (SQLite's lower() leaves every other character as it is); NULL counts as "".
std::string ListTextExpression(std::string_view prefix) {
    std::string sql;
    for (const char* column : kFilterColumns) {
        sql += sql.empty() ? "" : "||char(31)||";
        sql += "coalesce(" + std::string(prefix) + column + ",'')";
    }
    return "lower(" + sql + ")";
}

std::string InsertNew() {
    return "INSERT INTO " + std::string(kListTable) + "(ID," + std::string(kListTextColumn) +
           KeyColumnNames() + ") VALUES(new.ID," + ListTextExpression("new.") + KeyValues("new.") + ")";
}

// Without a conflict clause of its own: inside a trigger it would be overridden by that of the statement
// that fired it (the upsert of SaveDeviceInfo).
std::string UpdateToNew() {
    std::string sql = "UPDATE " + std::string(kListTable) + " SET ID=new.ID," + std::string(kListTextColumn) +
                      "=" + ListTextExpression("new.");
    for (const std::string_view key : kListKeyColumns) {
        sql += "," + std::string(key) + "=" + KeyValue(key, "new.");
    }
    return sql + " WHERE ID=old.ID";
}

// list_ids(ID, cap): the IDs of the group as "3,17,42", or NULL when there are more than cap of them.
struct ListIds {
    std::vector<sqlite3_int64>* ids;
    bool over;
};

void ListIdsStep(sqlite3_context* context, int, sqlite3_value** values) {
    auto* state = static_cast<ListIds*>(sqlite3_aggregate_context(context, sizeof(ListIds)));
    if (state == nullptr || state->over) {
        return;
    }
    if (state->ids == nullptr) {
        state->ids = new std::vector<sqlite3_int64>();
    }
    if (static_cast<sqlite3_int64>(state->ids->size()) >= sqlite3_value_int64(values[1])) {
        state->over = true;
        delete state->ids;
        state->ids = nullptr;
        return;
    }
    state->ids->push_back(sqlite3_value_int64(values[0]));
}

void ListIdsFinal(sqlite3_context* context) {
    auto* state = static_cast<ListIds*>(sqlite3_aggregate_context(context, 0));
    if (state == nullptr || state->ids == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    std::string text;
    for (const sqlite3_int64 id : *state->ids) {
        text += (text.empty() ? "" : ",") + std::to_string(id);
    }
    delete state->ids;
    state->ids = nullptr;
    sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

} // namespace

std::vector<std::string> DeviceListIndexSql() {
    const std::string table(kListTable);
    std::string create = "CREATE TABLE IF NOT EXISTS " + table + "(ID INTEGER PRIMARY KEY," +
                         std::string(kListTextColumn) + " TEXT";
    for (const std::string_view key : kListKeyColumns) {
        create += "," + std::string(key) + " " + KeyColumnType(key);
    }
    create += ")";
    return {
        create,
        "INSERT INTO " + table + "(ID," + std::string(kListTextColumn) + KeyColumnNames() + ") SELECT ID," +
            ListTextExpression("") + KeyValues("") + " FROM ap_info",
        "CREATE INDEX IF NOT EXISTS ap_list_ip_key ON " + table + "(ip_key)",
        "CREATE TRIGGER IF NOT EXISTS ap_list_insert AFTER INSERT ON ap_info BEGIN " + InsertNew() + "; END",
        "CREATE TRIGGER IF NOT EXISTS ap_list_update AFTER UPDATE ON ap_info BEGIN " + UpdateToNew() +
            "; END",
        "CREATE TRIGGER IF NOT EXISTS ap_list_delete AFTER DELETE ON ap_info BEGIN DELETE FROM " + table +
            " WHERE ID=old.ID; END",
    };
}

std::string IpKeySql(std::string_view ipNum) {
    // Every term in brackets: SQLite ranks + above the shifts and the shifts with &.
    const std::string n = "CAST(" + std::string(ipNum) + " AS INTEGER)";
    return "(((" + n + "&255)<<24)+(((" + n + ">>8)&255)<<16)+(((" + n + ">>16)&255)<<8)+((" + n +
           ">>24)&255))";
}

std::string ListKeyColumn(SortKey key) {
    const auto index = static_cast<size_t>(key);
    return index < kListKeyColumns.size() ? std::string(kListKeyColumns[index]) : std::string();
}

bool IsAsciiFilter(std::string_view filter) {
    return std::all_of(filter.begin(), filter.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string LowerAscii(std::string_view filter) {
    std::string lowered(filter);
    for (char& c : lowered) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lowered;
}

bool AddListFunctions(sqlite3* db) {
    return sqlite3_create_function_v2(db, "list_ids", 2, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, nullptr,
                                      ListIdsStep, ListIdsFinal, nullptr) == SQLITE_OK;
}

bool DeviceListIndexServes(std::string_view filter) {
    return filter.find(kSeparator) == std::string_view::npos && filter.find('\0') == std::string_view::npos;
}

} // namespace rf
