// Device pages from a store of 10,000 radios, in one run: the store's page query (the filter's matches
// found in a copy of ap_list's texts held in memory); the statement it used before the ap_list table,
// filtering the wide rows of ap_info; and a walk over every matching row (the way a recordset-based list
// would do it). Two other ways of finding the matches, measured side by side: ap_list's texts read from the
// file and compared as bytes for every query (the store's way before the memory copy), and an FTS5 trigram
// index over them. SaveDeviceInfo with ap_list kept current, and without (its triggers dropped in a second
// store).
#include "protocol/CodeTables.h"
#include "store/DeviceListIndex.h"
#include "store/RecordColumns.h"
#include "store/SqlManagement.h"
#include "store/SqliteStatement.h"
#include "store/StoreSchema.h"
#include "support/StoreSamples.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace rf;

constexpr int kDevices = 10000;
constexpr int kPageSize = 100;
// No filter; half the radios; one in ninety; none.
constexpr std::array kFilters{"", "192.168", "radio-12", "no such radio"};

struct Page {
    std::vector<ap_info_stu> devices;
    int pages = 0;
    int online = 0;
};

// Half the radios in 192.168.0.0/16, half in 10.0.0.0/8; one in ten has gone quiet.
ap_info_stu Radio(int n) {
    DeviceInfo info;
    info.set_work_mode(static_cast<uint8_t>(1 + n % 2));
    info.set_up_time(static_cast<uint32_t>(n * 37));
    const auto hi = static_cast<uint8_t>(n / 250 % 250);
    const auto lo = static_cast<uint8_t>(1 + n % 250);
    info.set_ip(n % 2 == 0 ? Ipv4Bytes{192, 168, hi, lo} : Ipv4Bytes{10, 7, hi, lo});
    info.set_ip_mask({255, 255, 0, 0});
    info.set_ap_name("radio-" + std::to_string(n));
    info.set_version("2.4." + std::to_string(n % 9));
    info.set_channel(static_cast<uint8_t>(n % 13));
    info.set_tx_power(static_cast<uint8_t>(10 + n % 17));
    info.set_ssid("site-" + std::to_string(n % 40));
    return ApInfo::Make(test::SampleMac(n), static_cast<uint16_t>(257 + n % 7), 1, info);
}

class Fixture {
public:
    explicit Fixture(bool listKept) {
        std::string pattern = (std::filesystem::temp_directory_path() / "rfbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
        store_ = std::make_unique<CSqlManagement>(dir_ + "/");
        sqlite3_open_v2(store_->GetDatabasePath().c_str(), &rawDb_, SQLITE_OPEN_READWRITE, nullptr);
        if (!listKept) {
            sqlite3_exec(
                rawDb_, "DROP TRIGGER ap_list_insert;DROP TRIGGER ap_list_update;DROP TRIGGER ap_list_delete",
                nullptr, nullptr, nullptr);
        }
        for (int n = 0; n < kDevices; ++n) {
            store_->SaveDeviceInfo(Radio(n));
            if (n % 10 == 0) {
                store_->SetDeviceStatus(test::SampleMac(n), DeviceStatus::Outline);
            }
        }
        if (listKept) {
            // Only this connection knows the table; the store's never reads it.
            sqlite3_exec(rawDb_,
                         "CREATE VIRTUAL TABLE temp.list_trigrams USING fts5(list_text,tokenize='trigram');"
                         "INSERT INTO temp.list_trigrams(rowid,list_text) SELECT ID,list_text FROM ap_list",
                         nullptr, nullptr, nullptr);
        }
    }
    ~Fixture() {
        sqlite3_close(rawDb_);
        store_.reset();
        std::filesystem::remove_all(dir_);
    }

    CSqlManagement& Store() { return *store_; }
    sqlite3* RawDb() { return rawDb_; }

private:
    std::string dir_;
    std::unique_ptr<CSqlManagement> store_;
    sqlite3* rawDb_ = nullptr;
};

Fixture& Shared() {
    static Fixture fixture(true);
    return fixture;
}

Fixture& WithoutList() {
    static Fixture fixture(false);
    return fixture;
}

std::string OrFilter() {
    std::string sql;
    for (size_t i = 0; i < test::kSearchedColumns.size(); ++i) {
        sql += (i == 0 ? "ap_info." : " or ap_info.") + std::string(test::kSearchedColumns[i]) + " like ?1";
    }
    return sql;
}

// Every matching row is opened and walked: each one counts towards the online count, the rows of the page
// become records.
Page ReferenceWalk(sqlite3* db, const std::string& filter, int page) {
    std::string sql = "select * from ap_info ";
    if (!filter.empty()) {
        sql += " where " + OrFilter();
    }
    sql += " order by ap_info.ip_num asc";
    CSqliteStatement rows(db, sql);
    if (!filter.empty()) {
        rows.BindText(1, "%" + filter + "%");
    }
    Page result;
    int n = 0;
    while (rows.Step()) {
        if (rows.ColumnInt(4) != 0) {
            ++result.online;
        }
        if ((page - 1) * kPageSize <= n && n < page * kPageSize) {
            result.devices.push_back(DeviceFromRow(rows));
        }
        ++n;
    }
    result.pages = n / kPageSize + (n % kPageSize != 0 ? 1 : 0);
    return result;
}

// The statement the store ran for a filter before ap_list: the wide rows filtered, counted and ordered in
// one pass, then the page's rows read whole.
Page PreviousQuery(sqlite3* db, const std::string& filter, int page) {
    const std::string where = filter.empty() ? "" : " WHERE " + OrFilter();
    static const std::string columns = ColumnListSql(kDeviceTable, kDeviceColumns, true);
    CSqliteStatement rows(
        db, "SELECT ap_info.ID," + columns +
                ",page.total,page.online FROM (SELECT ap_info.ID AS id,"
                "ap_info.ip_num AS k,count(*) OVER () AS total,count(nullif(ap_info.ap_status,0)) "
                "OVER () AS online FROM ap_info" +
                where +
                " ORDER BY k ASC,id LIMIT ?2 OFFSET ?3) AS page JOIN ap_info ON "
                "ap_info.ID=page.id ORDER BY page.k ASC,page.id");
    if (!filter.empty()) {
        rows.BindText(1, "%" + filter + "%");
    }
    rows.BindInt(2, kPageSize);
    rows.BindInt(3, static_cast<std::int64_t>(page - 1) * kPageSize);
    Page result;
    std::int64_t total = 0;
    while (rows.Step()) {
        result.devices.push_back(DeviceFromRow(rows));
        total = rows.ColumnInt(static_cast<int>(kDeviceColumns.size()));
        result.online = static_cast<int>(rows.ColumnInt(static_cast<int>(kDeviceColumns.size()) + 1));
    }
    result.pages = static_cast<int>(total / kPageSize + (total % kPageSize != 0 ? 1 : 0));
    return result;
}

// A page through ap_list with its matches found by test: the count over every row, then the page.
// ?1 is match, ?3 the filter with its ASCII letters lowered.
Page ListPage(sqlite3* db, const std::string& test, const std::string& match, const std::string& filter) {
    CSqliteStatement count(db, "SELECT count(*),count(nullif(ap_status,0)) FROM ap_list WHERE " + test);
    count.BindText(1, match);
    count.BindText(3, LowerAscii(filter));
    Page result;
    std::int64_t total = count.Step() ? count.ColumnInt(0) : 0;
    result.online = static_cast<int>(count.ColumnInt(1));
    result.pages = static_cast<int>(total / kPageSize + (total % kPageSize != 0 ? 1 : 0));
    if (total == 0) {
        return result;
    }
    static const std::string columns = ColumnListSql(kDeviceTable, kDeviceColumns, true);
    // Following the address index pays only when the matches fill the page early.
    const std::string key = 3 * kPageSize < total ? "ip_key" : "+ip_key";
    CSqliteStatement rows(db, "SELECT ap_info.ID," + columns + " FROM (SELECT ID AS id," + key +
                                  " AS k FROM ap_list WHERE " + test +
                                  " ORDER BY k,id LIMIT ?2) AS page JOIN ap_info ON ap_info.ID=page.id "
                                  "ORDER BY page.k,page.id");
    rows.BindText(1, match);
    rows.BindInt(2, kPageSize);
    rows.BindText(3, LowerAscii(filter));
    while (rows.Step()) {
        result.devices.push_back(DeviceFromRow(rows));
    }
    return result;
}

Page ScannedListPage(sqlite3* db, const std::string& filter) {
    return ListPage(db, "instr(list_text,?3)>0", std::string(), filter);
}

// Filters of three characters or more only (a trigram index finds nothing shorter); the exact test is kept
// for the candidates the index gives.
Page TrigramListPage(sqlite3* db, const std::string& filter) {
    return ListPage(db,
                    "ID IN (SELECT rowid FROM temp.list_trigrams WHERE list_trigrams MATCH ?1) AND "
                    "instr(list_text,?3)>0",
                    "\"" + filter + "\"", filter);
}

Page StorePage(const std::string& filter, int page) {
    Page result;
    Shared().Store().QueryDevicePage(SortKey::IpAddress, filter, true, kPageSize, page, result.devices,
                                     result.pages, result.online);
    return result;
}

std::string FilterOf(const benchmark::State& state) {
    return kFilters.at(static_cast<size_t>(state.range(0)));
}

bool Same(const Page& a, const Page& b) {
    bool same = a.pages == b.pages && a.online == b.online && a.devices.size() == b.devices.size();
    for (size_t i = 0; same && i < a.devices.size(); ++i) {
        same = a.devices[i] == b.devices[i];
    }
    return same;
}

// The three ways must give the same page before their times mean anything (the previous statement only
// where it matched something: it leaves its counts at 0 on an empty page).
void CheckSameResults(benchmark::State& state) {
    const std::string filter = FilterOf(state);
    const Page walked = ReferenceWalk(Shared().RawDb(), filter, 1);
    const Page previous = PreviousQuery(Shared().RawDb(), filter, 1);
    if (!Same(walked, StorePage(filter, 1)) || (!walked.devices.empty() && !Same(walked, previous))) {
        state.SkipWithError("the page query, the previous statement and the walk disagree");
    }
    if (!filter.empty() && (!Same(walked, ScannedListPage(Shared().RawDb(), filter)) ||
                            !Same(walked, TrigramListPage(Shared().RawDb(), filter)))) {
        state.SkipWithError("a way of finding the matches in ap_list disagrees with the walk");
    }
}

void FilterArgs(benchmark::internal::Benchmark* b) {
    b->ArgName("filter");
    for (size_t i = 0; i < kFilters.size(); ++i) {
        b->Arg(static_cast<std::int64_t>(i));
    }
    b->Unit(benchmark::kMicrosecond);
}

void BM_QueryDevicePage(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(StorePage(filter, 1));
    }
    state.counters["file_kB"] =
        static_cast<double>(std::filesystem::file_size(Shared().Store().GetDatabasePath())) / 1024.0;
}
BENCHMARK(BM_QueryDevicePage)->Apply(FilterArgs);

void BM_PreviousQuery(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PreviousQuery(Shared().RawDb(), filter, 1));
    }
}
BENCHMARK(BM_PreviousQuery)->Apply(FilterArgs);

void BM_ReferenceWalk(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceWalk(Shared().RawDb(), filter, 1));
    }
}
BENCHMARK(BM_ReferenceWalk)->Apply(FilterArgs);

void FilteredArgs(benchmark::internal::Benchmark* b) {
    b->ArgName("filter");
    for (size_t i = 1; i < kFilters.size(); ++i) {
        b->Arg(static_cast<std::int64_t>(i));
    }
    b->Unit(benchmark::kMicrosecond);
}

void BM_ScannedListPage(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScannedListPage(Shared().RawDb(), filter));
    }
}
BENCHMARK(BM_ScannedListPage)->Apply(FilteredArgs);

void BM_TrigramListPage(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrigramListPage(Shared().RawDb(), filter));
    }
}
BENCHMARK(BM_TrigramListPage)->Apply(FilteredArgs);

// A device reporting again: its whole row rewritten, with ap_list kept current (list:1) and without.
void BM_SaveDeviceInfo(benchmark::State& state) {
    CSqlManagement& store = state.range(0) != 0 ? Shared().Store() : WithoutList().Store();
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.SaveDeviceInfo(Radio(n)));
        n = (n + 7) % kDevices;
    }
}
BENCHMARK(BM_SaveDeviceInfo)->ArgName("list")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
