#include "operations/ApScan.h"

#include "protocol/NetManagement.h"
#include "protocol/Wire.h"
#include "store/SqlManagement.h"

#include <array>
#include <condition_variable>
#include <mutex>

namespace rf {
namespace {

constexpr std::array<const char*, 10> kSecurityTexts{"None",
                                                     "WEP",
                                                     "WPA-PSK/AES",
                                                     "WPA-PSK/TKIP",
                                                     "WPA2-PSK/AES",
                                                     "WPA2-PSK/TKIP",
                                                     "WPA2-PSK/TKIP&AES",
                                                     "WPA/WPA2-PSK/AES",
                                                     "WPA/WPA2-PSK/TKIP",
                                                     "WPA/WPA2-PSK/TKIP&AES"};

// The engine raises scanComplete without telling anyone; it is looked at this often.
constexpr std::chrono::milliseconds kCompletionLook{100};

} // namespace

int SignalImageIndex(int8_t signal) {
    if (signal <= -75) {
        return 1;
    }
    return signal <= -60 ? 3 : 5;
}

const char* ScanSecurityText(int code) {
    return code >= 0 && code < static_cast<int>(kSecurityTexts.size())
               ? kSecurityTexts[static_cast<size_t>(code)]
               : "WPA-PSK/TKIP&AES";
}

bool StartApScan(CNetManagement& engine, CSqlManagement& store, const std::string& ip,
                 const std::string& mac) {
    store.ClearScannedAps();
    return engine.SendCommand(ip, static_cast<int>(MessageType::ScanAps), {}, mac, false);
}

std::vector<ScanEntry> ScannedApsBySignal(CSqlManagement& store) {
    std::vector<ScanEntry> aps;
    store.QueryScannedAps(kScanSortBySignal, false, aps);
    return aps;
}

ApScanResult RunApScan(CNetManagement& engine, CSqlManagement& store, const std::string& ip,
                       const std::string& mac, std::stop_token stop, std::chrono::milliseconds limit) {
    ApScanResult result;
    result.sent = StartApScan(engine, store, ip, mac);
    if (result.sent) {
        const auto end = std::chrono::steady_clock::now() + limit;
        std::mutex mutex;
        std::condition_variable_any woken;
        std::unique_lock lock(mutex);
        while (!engine.scanComplete && !stop.stop_requested() && std::chrono::steady_clock::now() < end) {
            woken.wait_for(lock, stop, kCompletionLook, [] { return false; });
        }
        result.completed = engine.scanComplete;
    }
    result.aps = ScannedApsBySignal(store);
    return result;
}

} // namespace rf
