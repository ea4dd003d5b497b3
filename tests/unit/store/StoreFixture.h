#pragma once

#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"
#include "support/StoreSamples.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace rf::test {

// A device as a GetInfo reply would bring it: an access point with a name, an address and a few settings.
inline ap_info_stu MakeDevice(const std::string& mac, const std::string& ip,
                              const std::string& name = "radio") {
    DeviceInfo info;
    info.set_work_mode(1);
    info.set_up_time(100);
    info.set_ip(IpTextToBytes(ip));
    info.set_ip_mask(IpTextToBytes("255.255.255.0"));
    info.set_ip_gateway(IpTextToBytes("10.20.30.1"));
    info.set_ap_name(name);
    info.set_version("v1.0");
    info.set_channel(6);
    info.set_tx_power(20);
    info.set_ssid("net");
    return ApInfo::Make(mac, 257, 1, info);
}

// "02:00:00:00:hh:ll" for n (below 65536): the MAC of RandomDevice(random, n) too.
inline std::string MacFor(int n) {
    return SampleMac(n);
}

// A store in a directory of its own, with a second, plain connection to its file for looking inside.
class StoreTest : public ::testing::Test {
protected:
    StoreTest() : store_(std::make_unique<CSqlManagement>(dir_.Dir())) {}
    ~StoreTest() override { sqlite3_close(raw_); }

    CSqlManagement& Store() { return *store_; }

    // The first column of the first row of query, as text ("" for NULL or no row).
    std::string Raw(const std::string& query) {
        if (raw_ == nullptr) {
            sqlite3_open_v2(store_->GetDatabasePath().c_str(), &raw_, SQLITE_OPEN_READONLY, nullptr);
        }
        sqlite3_stmt* stmt = nullptr;
        std::string value;
        if (sqlite3_prepare_v2(raw_, query.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0) != nullptr) {
            value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        EXPECT_NE(stmt, nullptr) << sqlite3_errmsg(raw_) << " in " << query;
        sqlite3_finalize(stmt);
        return value;
    }

    std::vector<std::string> PageMacs(SortKey key, const std::string& filter, bool ascending, int pageSize,
                                      int page) {
        std::vector<ap_info_stu> devices;
        int pages = 0;
        int online = 0;
        EXPECT_TRUE(Store().QueryDevicePage(key, filter, ascending, pageSize, page, devices, pages, online));
        std::vector<std::string> macs;
        for (const auto& d : devices) {
            macs.push_back(d.mac());
        }
        return macs;
    }

    TempDir dir_;
    std::unique_ptr<CSqlManagement> store_;
    sqlite3* raw_ = nullptr;
};

} // namespace rf::test
