#pragma once

// An engine in the test process that lives in a lab's PC namespace: it is started from a thread that
// entered that namespace, so its sockets and workers are there, and its adapters are the PC's addresses
// on the lab's subnets.
#include "core/OperateCharacter.h"
#include "operations/FreshSearch.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"
#include "support/EngineHarness.h"
#include "support/Lab.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include "SimRadio.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace rf::test {

class EngineInLab {
public:
    // clock: nullptr for the steady clock. storeDirectory (ending in "/"): where the store lives, when not
    // in a directory of its own.
    EngineInLab(const Lab& lab, int subnets, std::shared_ptr<IEngineClock> clock = nullptr,
                const std::string& storeDirectory = {})
        : lab_(lab), store_(storeDirectory.empty() ? dir_.Dir() : storeDirectory) {
        std::vector<AdapterRecord> adapters;
        for (int i = 0; i < subnets; ++i) {
            adapters.push_back(MakeAdapter({{Lab::PcAddress(i), "255.255.0.0"}}));
        }
        engine_ = std::make_unique<CNetManagement>(store_, std::make_unique<FixedAdapters>(adapters), nullptr,
                                                   std::move(clock));
    }

    CNetManagement& Engine() { return *engine_; }
    CSqlManagement& Store() { return store_; }

    // Runs work on a thread inside the PC namespace; false when the namespace could not be entered.
    template <typename Work> bool InPc(Work work) {
        bool entered = false;
        std::thread([&] {
            const int ns = ::open(("/run/netns/" + lab_.PcNamespace()).c_str(), O_RDONLY | O_CLOEXEC);
            entered = ns >= 0 && ::setns(ns, CLONE_NEWNET) == 0;
            if (ns >= 0) {
                ::close(ns);
            }
            if (entered) {
                work();
            }
        }).join();
        return entered;
    }

    bool Start(int retransmissionMax = 3, int retransmissionInterval = 2000) {
        bool started = false;
        return InPc([&] { started = engine_->Start(retransmissionMax, retransmissionInterval); }) && started;
    }
    void Search() {
        InPc([&] { engine_->SearchDevices(); });
    }

    std::vector<ap_info_stu> StoredDevices() {
        std::vector<ap_info_stu> devices;
        int pages = 0;
        int online = 0;
        store_.QueryDevicePage(SortKey::Mac, "", true, INT_MAX, 1, devices, pages, online);
        return devices;
    }
    int StoredWithStatus(DeviceStatus status) {
        int n = 0;
        for (const auto& d : StoredDevices()) {
            n += d.ap_status() == ToCode(status) ? 1 : 0;
        }
        return n;
    }

    // Devices whose status is not 0, counted by the store without reading every row.
    int OnlineCount() {
        std::vector<ap_info_stu> first;
        int pages = 0;
        int online = 0;
        store_.QueryDevicePage(SortKey::Mac, "", true, 1, 1, first, pages, online);
        return online;
    }

    // The status page's search cycle, on its schedule (SearchCycle), ended early once `expected` devices
    // are stored as online. True when they were.
    bool DiscoveryCycle(int expected) {
        SearchCycle cycle;
        Search();
        cycle.Begin(HeardSoFar(*engine_));
        const auto begin = std::chrono::steady_clock::now();
        const auto allOnline = [&] { return OnlineCount() >= expected; };
        for (int tick = 1;; ++tick) {
            const auto due = begin + tick * std::chrono::milliseconds(SearchCycle::kTickMs);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
            if (WaitFor(allOnline, std::max(left, std::chrono::milliseconds(0)))) {
                return StoredWithStatus(DeviceStatus::Online) >= expected;
            }
            const SearchCycle::Step step = cycle.Tick(HeardSoFar(*engine_));
            if (step.finished) {
                return false;
            }
            if (step.search) {
                Search();
            }
        }
    }

    // Sends a request with retransmission and waits until the engine tells how it ended; nullopt when it
    // was not sent or did not end in time.
    std::optional<RequestEnd> SendAndSettle(const std::string& ip, MessageType type,
                                            std::span<const std::uint8_t> payload, const std::string& mac,
                                            std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
        RequestEnds ends;
        if (!engine_->SendCommand(ip, static_cast<int>(type), payload, mac, true, ends.Track(0))) {
            return std::nullopt;
        }
        if (!WaitFor([&] { return ends.Count() > 0; }, timeout)) {
            return std::nullopt;
        }
        return ends.All()[0].end;
    }

private:
    const Lab& lab_;
    TempDir dir_;
    CSqlManagement store_;
    std::unique_ptr<CNetManagement> engine_;
};

inline std::vector<SimRadio> SimRadios(const Lab& lab) {
    std::vector<SimRadio> radios;
    for (const auto& line : lab.Radios()) {
        radios.push_back(SimRadio::Parse(line));
    }
    return radios;
}

// Every field the device list shows agrees with the simulator's own record of the radio.
inline void ExpectStoredAsSimulated(const ap_info_stu& stored, const SimRadio& truth) {
    const DeviceInfo info = stored.device_info();
    EXPECT_EQ(IpBytesToText(info.ip()), truth.ip) << truth.mac;
    std::string name;
    std::string ssid;
    COperateCharacter::DeviceTextToLocal(truth.name, name);
    COperateCharacter::DeviceTextToLocal(truth.ssid, ssid);
    EXPECT_EQ(info.ap_name(), name) << truth.mac;
    EXPECT_EQ(info.version(), truth.version) << truth.mac;
    EXPECT_EQ(info.ssid(), ssid) << truth.mac;
    EXPECT_EQ(stored.ap_type(), truth.model) << truth.mac;
    EXPECT_EQ(info.work_mode(), truth.workMode) << truth.mac;
    EXPECT_EQ(info.channel(), truth.channel) << truth.mac;
    EXPECT_EQ(info.bridge_transparent(), truth.bridgeTransparent) << truth.mac;
}

} // namespace rf::test
