#include "store/SqliteStatement.h"

#include <sqlite3.h>
#include <utility>

namespace rf {

CSqliteStatement::CSqliteStatement(sqlite3* db, std::string_view sql) {
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

CSqliteStatement::~CSqliteStatement() {
    sqlite3_finalize(stmt_);
}

CSqliteStatement::CSqliteStatement(CSqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), done_(other.done_) {}

CSqliteStatement& CSqliteStatement::operator=(CSqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        done_ = other.done_;
    }
    return *this;
}

void CSqliteStatement::Reset() {
    if (stmt_ == nullptr) {
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    done_ = false;
}

void CSqliteStatement::BindInt(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void CSqliteStatement::BindDouble(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
}

void CSqliteStatement::BindText(int index, std::string_view text) {
    if (text.empty()) {
        sqlite3_bind_null(stmt_, index);
    } else {
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
}

bool CSqliteStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    done_ = rc == SQLITE_DONE;
    return rc == SQLITE_ROW;
}

std::int64_t CSqliteStatement::ColumnInt(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double CSqliteStatement::ColumnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::string CSqliteStatement::ColumnText(int column) const {
    const auto* text = sqlite3_column_text(stmt_, column);
    if (text == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

} // namespace rf
