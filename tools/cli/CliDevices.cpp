#include "CliDevices.h"

#include "CliCommands.h"

#include <algorithm>
#include <atomic>
#include <iostream>
#include <thread>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollPeriod = 50ms;
constexpr auto kLearnSearchPeriod = 3s;

bool IsStored(CSqlManagement& store, const std::string& mac, ap_info_stu& device) {
    return store.GetDevice(mac, device) && device.mac() == mac;
}

} // namespace

std::vector<std::string> DistinctMacs(const std::vector<std::string>& macs) {
    std::vector<std::string> distinct;
    for (const auto& mac : macs) {
        if (std::find(distinct.begin(), distinct.end(), mac) == distinct.end()) {
            distinct.push_back(mac);
        }
    }
    return distinct;
}

bool LearnDevices(CliSession& session, const std::vector<std::string>& macs, std::vector<ap_info_stu>& stored,
                  std::chrono::seconds limit) {
    stored.assign(macs.size(), ap_info_stu{});
    const auto allKnown = [&] {
        bool all = true;
        for (size_t i = 0; i < macs.size(); ++i) {
            all = IsStored(session.Store(), macs[i], stored[i]) && all;
        }
        return all;
    };
    const auto start = std::chrono::steady_clock::now();
    auto nextSearch = start;
    while (!allKnown()) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start >= limit) {
            break;
        }
        if (now >= nextSearch) {
            session.Engine().SearchDevices();
            nextSearch += kLearnSearchPeriod;
        }
        if (!session.Wait(kPollPeriod)) {
            return false;
        }
    }
    return true;
}

std::optional<LearnedDevices> LearnNamedDevices(CliSession& session, const CliArguments& arguments) {
    const std::vector<std::string> macs = DistinctMacs(arguments.macs);
    const std::chrono::seconds limit(arguments.wait);
    std::vector<ap_info_stu> stored;
    if (!LearnDevices(session, macs, stored, limit)) {
        return std::nullopt;
    }
    LearnedDevices learned;
    for (size_t i = 0; i < macs.size(); ++i) {
        if (stored[i].mac() == macs[i]) {
            learned.found.push_back(stored[i]);
        } else {
            std::cout << macs[i] << "  not found by a search within " << limit.count() << " s\n";
            learned.missing = true;
        }
    }
    std::cout.flush();
    return learned;
}

bool LearnDevice(CliSession& session, const CliArguments& arguments, ap_info_stu& record, int& exitCode) {
    const std::optional<LearnedDevices> learned = LearnNamedDevices(session, arguments);
    if (!learned || learned->missing) {
        exitCode = learned ? kExitDeviceFailed : kExitInterrupted;
        return false;
    }
    record = learned->found.front();
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
