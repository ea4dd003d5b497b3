#include "store/StoreWriteFault.h"

#include <sqlite3.h>

namespace rf {

bool StoreWriteFault::MayBeDiskFull() const {
    return code == SQLITE_FULL || code == SQLITE_IOERR;
}

} // namespace rf
