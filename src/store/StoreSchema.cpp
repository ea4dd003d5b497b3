#include "store/StoreSchema.h"

namespace rf {

namespace {

std::string_view SqlType(ColumnType type) {
    switch (type) {
    case ColumnType::Counter:
        return "INTEGER PRIMARY KEY AUTOINCREMENT";
    case ColumnType::Long:
        return "INTEGER";
    case ColumnType::Double:
        return "REAL";
    case ColumnType::Text:
        return "TEXT";
    }
    return "TEXT";
}

} // namespace

std::string CreateTableSql(std::string_view table, std::span<const Column> columns) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + std::string(table) + "(";
    for (size_t i = 0; i < columns.size(); ++i) {
        sql +=
            (i == 0 ? "" : ",") + std::string(columns[i].name) + " " + std::string(SqlType(columns[i].type));
    }
    return sql + ")";
}

std::string ColumnListSql(std::string_view table, std::span<const Column> columns, bool qualified) {
    std::string sql;
    for (size_t i = 1; i < columns.size(); ++i) {
        if (i > 1) {
            sql += ",";
        }
        if (qualified) {
            sql += std::string(table) + ".";
        }
        sql += columns[i].name;
    }
    return sql;
}

std::string UpsertByMacSql(std::string_view table, std::span<const Column> columns) {
    std::string sql =
        "INSERT INTO " + std::string(table) + "(" + ColumnListSql(table, columns, false) + ") VALUES(";
    for (size_t i = 1; i < columns.size(); ++i) {
        sql += (i == 1 ? "?" : ",?") + std::to_string(i);
    }
    sql += ") ON CONFLICT(mac) DO UPDATE SET ";
    for (size_t i = 1; i < columns.size(); ++i) {
        const std::string name(columns[i].name);
        sql += (i == 1 ? "" : ",") + name + "=excluded." + name;
    }
    return sql;
}

} // namespace rf
