#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace rf {

// One prepared statement. Parameters are numbered from 1, result columns from 0, as SQLite counts them.
class CSqliteStatement {
public:
    CSqliteStatement() = default;
    // Prepares sql on db; Valid() tells whether that worked.
    CSqliteStatement(sqlite3* db, std::string_view sql);
    ~CSqliteStatement();
    CSqliteStatement(CSqliteStatement&& other) noexcept;
    CSqliteStatement& operator=(CSqliteStatement&& other) noexcept;
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    bool Valid() const { return stmt_ != nullptr; }
    // For reading a row's values in place with sqlite3_column_*.
    sqlite3_stmt* Handle() const { return stmt_; }

    // Makes the statement ready to run again with no parameters bound.
    void Reset();

    void BindInt(int index, std::int64_t value);
    void BindDouble(int index, double value);
    // An empty text is bound as NULL.
    void BindText(int index, std::string_view text);

    // Runs to the next row: true when a row is available; Done() tells whether the end was reached
    // without an error.
    bool Step();
    bool Done() const { return done_; }

    std::int64_t ColumnInt(int column) const;
    double ColumnDouble(int column) const;
    // NULL reads as an empty text.
    std::string ColumnText(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool done_ = false;
};

} // namespace rf
