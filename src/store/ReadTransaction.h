#pragma once

#include <sqlite3.h>

namespace rf {

// Several reads in one transaction, so that the file is locked and its cache checked once rather than for
// every statement. Ends when it goes out of scope, after the statements it covers have been reset; when it
// could not begin, each statement takes its own as before.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db) : db_(db), open_(sqlite3_get_autocommit(db) != 0 && Run("BEGIN")) {}
    ~ReadTransaction() {
        // Only reads ran: nothing is lost by rolling back, and the connection must not stay in a transaction.
        if (open_ && !Run("COMMIT")) {
            Run("ROLLBACK");
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    bool Run(const char* statement) const {
        return sqlite3_exec(db_, statement, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    sqlite3* db_;
    bool open_;
};

} // namespace rf
