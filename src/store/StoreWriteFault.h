#pragma once

#include <cstdint>
#include <string>

namespace rf {

// Why the store's writes fail: SQLite's words and result code for the last write it refused.
struct StoreWriteFault {
    std::string message;
    int code = 0;              // SQLite's primary result code
    std::uint64_t episode = 0; // how many times writes have begun to fail in this run

    // The file system may have run out of room: SQLite found it full, or a write to the file failed.
    bool MayBeDiskFull() const;
};

} // namespace rf
