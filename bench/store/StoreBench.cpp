// Device pages from a store of 10,000 radios: the store's page query against a walk over every matching
// row (the way a recordset-based list would do it), in the same run.
#include "protocol/CodeTables.h"
#include "store/RecordColumns.h"
#include "store/SqlManagement.h"
#include "store/SqliteStatement.h"

#include <benchmark/benchmark.h>
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
constexpr const char* kFilter = "192.168";

struct Page {
    std::vector<ap_info_stu> devices;
    int pages = 0;
    int online = 0;
};

std::string MacFor(int n) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", (n >> 16) & 0xff, (n >> 8) & 0xff, n & 0xff);
    return text;
}

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
    return ApInfo::Make(MacFor(n), static_cast<uint16_t>(257 + n % 7), 1, info);
}

class Fixture {
public:
    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "rfbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
        store_ = std::make_unique<CSqlManagement>(dir_ + "/");
        for (int n = 0; n < kDevices; ++n) {
            store_->SaveDeviceInfo(Radio(n));
            if (n % 10 == 0) {
                store_->SetDeviceStatus(MacFor(n), DeviceStatus::Outline);
            }
        }
        sqlite3_open_v2(store_->GetDatabasePath().c_str(), &walkDb_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~Fixture() {
        sqlite3_close(walkDb_);
        store_.reset();
        std::filesystem::remove_all(dir_);
    }

    CSqlManagement& Store() { return *store_; }
    sqlite3* WalkDb() { return walkDb_; }

private:
    std::string dir_;
    std::unique_ptr<CSqlManagement> store_;
    sqlite3* walkDb_ = nullptr;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// Every matching row is opened and walked: each one counts towards the online count, the rows of the page
// become records.
Page ReferenceWalk(sqlite3* db, const std::string& filter, int page) {
    static const char* kColumns[] = {"ap_name",
                                     "ip",
                                     "mac",
                                     "ssid",
                                     "version",
                                     "work_mode_str",
                                     "channel",
                                     "ap_type_str",
                                     "tx_power",
                                     "bridge_transparent_str",
                                     "up_time_str",
                                     "ap_status_str",
                                     "secure_mode_str"};
    std::string sql = "select * from ap_info ";
    if (!filter.empty()) {
        sql += " where ";
        for (size_t i = 0; i < std::size(kColumns); ++i) {
            sql += (i == 0 ? "ap_info." : " or ap_info.") + std::string(kColumns[i]) + " like ?1";
        }
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

Page StorePage(const std::string& filter, int page) {
    Page result;
    Shared().Store().QueryDevicePage(SortKey::IpAddress, filter, true, kPageSize, page, result.devices,
                                     result.pages, result.online);
    return result;
}

std::string FilterOf(const benchmark::State& state) {
    return state.range(0) != 0 ? kFilter : "";
}

// Both methods must give the same page before their times mean anything.
void CheckSameResults(benchmark::State& state) {
    const std::string filter = FilterOf(state);
    const Page walked = ReferenceWalk(Shared().WalkDb(), filter, 1);
    const Page paged = StorePage(filter, 1);
    bool same = walked.pages == paged.pages && walked.online == paged.online &&
                walked.devices.size() == paged.devices.size();
    for (size_t i = 0; same && i < walked.devices.size(); ++i) {
        same = walked.devices[i] == paged.devices[i];
    }
    if (!same) {
        state.SkipWithError("the page query and the walk disagree");
    }
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
BENCHMARK(BM_QueryDevicePage)->ArgName("filter")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReferenceWalk(benchmark::State& state) {
    CheckSameResults(state);
    const std::string filter = FilterOf(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceWalk(Shared().WalkDb(), filter, 1));
    }
}
BENCHMARK(BM_ReferenceWalk)->ArgName("filter")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A device reporting again: its whole row rewritten.
void BM_SaveDeviceInfo(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Shared().Store().SaveDeviceInfo(Radio(n)));
        n = (n + 7) % kDevices;
    }
}
BENCHMARK(BM_SaveDeviceInfo)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
