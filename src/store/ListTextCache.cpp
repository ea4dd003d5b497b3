#include "store/ListTextCache.h"

#include "store/DeviceListIndex.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rf {

namespace {

// count(nullif(ap_status,0)) counts a status that is not NULL and not equal to 0.
bool IsOnline(sqlite3_stmt* row, int column) {
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        return sqlite3_column_int64(row, column) != 0;
    case SQLITE_FLOAT:
        return sqlite3_column_double(row, column) != 0.0;
    default:
        return true;
    }
}

std::string_view TextOf(sqlite3_stmt* row, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    return text == nullptr ? std::string_view()
                           : std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(row, column)));
}

// Whether part (not empty) occurs in text: sixteen places at a time are tested for the part's first and last
// bytes, and only where both match is the whole part compared.
bool Contains(std::string_view text, std::string_view part) {
    const size_t size = part.size();
    if (size > text.size()) {
        return false;
    }
    size_t at = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(part.front());
    const __m128i last = _mm_set1_epi8(part.back());
    for (; at + size - 1 + 16 <= text.size(); at += 16) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + size - 1));
        auto places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
        for (; places != 0; places &= places - 1) {
            if (std::memcmp(text.data() + at + static_cast<unsigned>(__builtin_ctz(places)), part.data(),
                            size) == 0) {
                return true;
            }
        }
    }
#endif
    return text.substr(at).find(part) != std::string_view::npos;
}

} // namespace

CListTextCache::CListTextCache(sqlite3* db) : db_(db) {
    const std::string table(kListTable);
    const std::string text(kListTextColumn);
    readAll_ = CSqliteStatement(db_, "SELECT ID," + text + ",ap_status FROM " + table);
    readOne_ = CSqliteStatement(db_, "SELECT ID," + text + ",ap_status FROM " + table + " WHERE ID=?1");
    count_ = CSqliteStatement(db_, "SELECT count(*) FROM " + table);
    dataVersionQuery_ = CSqliteStatement(db_, "PRAGMA data_version");
    sqlite3_update_hook(db_, OnUpdate, this);
    // Direct only: a trigger or view must never depend on what the last search found.
    sqlite3_create_function_v2(db_, "list_match", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this, ListMatch,
                               nullptr, nullptr, nullptr);
}

CListTextCache::~CListTextCache() {
    sqlite3_update_hook(db_, nullptr, nullptr);
    sqlite3_create_function_v2(db_, "list_match", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
}

void CListTextCache::OnUpdate(void* self, int, const char* database, const char* table, sqlite3_int64 rowid) {
    auto* cache = static_cast<CListTextCache*>(self);
    if (cache->stale_ || std::strcmp(database, "main") != 0 || table != kListTable) {
        return;
    }
    // More rows named than held: reading the whole table is as quick, and the list stops growing.
    if (cache->named_.size() > std::max<size_t>(cache->entries_.size(), 1024)) {
        cache->stale_ = true;
        cache->named_.clear();
        return;
    }
    cache->named_.push_back(rowid);
}

void CListTextCache::ListMatch(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* cache = static_cast<const CListTextCache*>(sqlite3_user_data(context));
    const std::int64_t id = sqlite3_value_int64(values[0]);
    sqlite3_result_int(
        context, std::binary_search(cache->lastMatches_.begin(), cache->lastMatches_.end(), id) ? 1 : 0);
}

bool CListTextCache::Find(std::string_view lowered, Matches& matches) {
    matches = Matches{};
    lastMatches_.clear();
    if (!Refresh()) {
        return false;
    }
    for (const Entry& entry : entries_) {
        if (Contains(entry.text, lowered)) {
            matches.ids.push_back(entry.id);
            matches.online += entry.online ? 1 : 0;
        }
    }
    matches.total = static_cast<std::int64_t>(matches.ids.size());
    std::sort(matches.ids.begin(), matches.ids.end());
    lastMatches_ = matches.ids;
    return true;
}

bool CListTextCache::CountAll(Matches& matches) {
    matches = Matches{};
    if (!Refresh()) {
        return false;
    }
    matches.total = static_cast<std::int64_t>(entries_.size());
    for (const Entry& entry : entries_) {
        matches.online += entry.online ? 1 : 0;
    }
    return true;
}

bool CListTextCache::Refresh() {
    if (NeedsFullRead()) {
        return ReadAll();
    }
    if (!ReadNamed()) {
        return false;
    }
    if (!count_.Valid()) {
        return false;
    }
    count_.Reset();
    const bool counted = count_.Step();
    const std::int64_t rows = counted ? count_.ColumnInt(0) : -1;
    count_.Reset();
    if (rows != static_cast<std::int64_t>(entries_.size())) {
        return ReadAll();
    }
    return counted;
}

// Reads data_version too, so that the first search records it.
bool CListTextCache::NeedsFullRead() {
    std::int64_t version = -1;
    if (dataVersionQuery_.Valid()) {
        dataVersionQuery_.Reset();
        version = dataVersionQuery_.Step() ? dataVersionQuery_.ColumnInt(0) : -1;
        dataVersionQuery_.Reset();
    }
    const bool otherWriter = version != dataVersion_;
    dataVersion_ = version;
    return stale_ || otherWriter || version < 0;
}

bool CListTextCache::ReadAll() {
    stale_ = true;
    named_.clear();
    entries_.clear();
    positions_.clear();
    if (!readAll_.Valid()) {
        return false;
    }
    readAll_.Reset();
    sqlite3_stmt* row = readAll_.Handle();
    while (readAll_.Step()) {
        Put(sqlite3_column_int64(row, 0), IsOnline(row, 2), TextOf(row, 1));
    }
    const bool done = readAll_.Done();
    readAll_.Reset();
    stale_ = !done;
    return done;
}

bool CListTextCache::ReadNamed() {
    std::vector<std::int64_t> named;
    named.swap(named_);
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    if (!named.empty() && !readOne_.Valid()) {
        stale_ = true;
        return false;
    }
    for (const std::int64_t id : named) {
        readOne_.Reset();
        readOne_.BindInt(1, id);
        sqlite3_stmt* row = readOne_.Handle();
        if (readOne_.Step()) {
            Put(id, IsOnline(row, 2), TextOf(row, 1));
        } else if (readOne_.Done()) {
            Erase(id);
        } else {
            readOne_.Reset();
            stale_ = true;
            return false;
        }
    }
    readOne_.Reset();
    return true;
}

void CListTextCache::Put(std::int64_t id, bool online, std::string_view text) {
    const auto [found, added] = positions_.try_emplace(id, entries_.size());
    if (added) {
        entries_.push_back(Entry{id, online, std::string(text)});
        return;
    }
    Entry& entry = entries_[found->second];
    entry.online = online;
    entry.text.assign(text);
}

void CListTextCache::Erase(std::int64_t id) {
    const auto found = positions_.find(id);
    if (found == positions_.end()) {
        return;
    }
    const size_t position = found->second;
    positions_.erase(found);
    if (position + 1 != entries_.size()) {
        entries_[position] = std::move(entries_.back());
        positions_[entries_[position].id] = position;
    }
    entries_.pop_back();
}

} // namespace rf
