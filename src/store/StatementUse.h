#pragma once

#include "store/SqliteStatement.h"

namespace rf {

// Resets the statement when an operation is done with it, so that no read stays open between operations
// and no bound text (keys among them) lingers.
class StatementUse {
public:
    explicit StatementUse(CSqliteStatement& statement) : statement_(statement) {}
    ~StatementUse() { statement_.Reset(); }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    CSqliteStatement& statement_;
};

} // namespace rf
