#include "CliDevices.h"

#include <atomic>
#include <thread>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollPeriod = 50ms;
constexpr int kLearnSearches = 2;
constexpr auto kLearnSearchPeriod = 3s;

bool IsStored(CSqlManagement& store, const std::string& mac, ap_info_stu& device) {
    return store.GetDevice(mac, device) && device.mac() == mac;
}

} // namespace

bool LearnDevices(CliSession& session, const std::vector<std::string>& macs,
                  std::vector<ap_info_stu>& stored) {
    stored.assign(macs.size(), ap_info_stu{});
    const auto allKnown = [&] {
        bool all = true;
        for (size_t i = 0; i < macs.size(); ++i) {
            all = IsStored(session.Store(), macs[i], stored[i]) && all;
        }
        return all;
    };
    for (int search = 0; search < kLearnSearches && !allKnown(); ++search) {
        session.Engine().SearchDevices();
        for (auto waited = 0ms; waited < kLearnSearchPeriod && !allKnown(); waited += kPollPeriod) {
            if (!session.Wait(kPollPeriod)) {
                return false;
            }
        }
    }
    return true;
}

bool RunInterruptibly(CliSession& session, const std::function<void(std::stop_token)>& work) {
    std::atomic<bool> done{false};
    std::jthread worker([&](std::stop_token stop) {
        work(stop);
        done = true;
    });
    while (!done) {
        if (!session.Wait(kPollPeriod)) {
            worker.request_stop();
            return false;
        }
    }
    return true;
}

} // namespace rf
