#pragma once

#include "store/SqliteStatement.h"

#include <cstdint>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rf {

// ap_list's texts and statuses held in memory, so that the devices a filter matches are found and counted
// without reading every row of the file. The connection's update hook names every row of ap_list that any
// statement inserts, updates or deletes (those the triggers on ap_info write included); a named row is read
// again before the next search. A change rolled back leaves its rows named, so they too are read back as
// they now are. The whole table is read again when it is first searched, when another connection has
// written the file, when more rows were named than the table holds, and when the number of rows held
// differs from the table's (an UPDATE that moves a row to a new ID names only the new one).
//
// Searches run on the store's thread under its lock; the hook fires there too, inside a statement.
class CListTextCache {
public:
    struct Matches {
        std::int64_t total = 0;
        std::int64_t online = 0;
        std::vector<std::int64_t> ids; // ascending
    };

    // Hooks into db, which must stay open until the cache is destroyed, and adds list_match(ID) to it.
    explicit CListTextCache(sqlite3* db);
    ~CListTextCache();
    CListTextCache(const CListTextCache&) = delete;
    CListTextCache& operator=(const CListTextCache&) = delete;

    // The rows whose list_text holds lowered (a filter with its ASCII letters lowered) byte for byte. They
    // also become the rows list_match(ID) answers 1 for, until the next search. False when ap_list could
    // not be read; matches are then empty.
    bool Find(std::string_view lowered, Matches& matches);
    // The number of rows and of those online, as for a filter that matches every row (ids stay empty).
    bool CountAll(Matches& matches);
    // Reads the named rows now, as the next search would: the store does this after a batch of the
    // engine's writes, so that the page's search on the interface thread finds little left to read.
    void CatchUp() { Refresh(); }

private:
    struct Entry {
        std::int64_t id = 0;
        bool online = false;
        std::string text;
    };

    static void OnUpdate(void* self, int operation, const char* database, const char* table,
                         sqlite3_int64 rowid);
    static void ListMatch(sqlite3_context* context, int argc, sqlite3_value** values);

    bool Refresh();
    bool ReadAll();
    bool ReadNamed();
    bool NeedsFullRead();
    void Put(std::int64_t id, bool online, std::string_view text);
    void Erase(std::int64_t id);

    sqlite3* db_;
    std::vector<Entry> entries_;
    std::unordered_map<std::int64_t, size_t> positions_;
    std::vector<std::int64_t> named_;
    bool stale_ = true;
    std::int64_t dataVersion_ = -1;
    std::vector<std::int64_t> lastMatches_;
    CSqliteStatement readAll_;
    CSqliteStatement readOne_;
    CSqliteStatement count_;
    CSqliteStatement dataVersionQuery_;
};

} // namespace rf
