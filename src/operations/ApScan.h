#pragma once

#include "protocol/ScanEntry.h"

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// The survey of the air that a device makes for the bridge wizard: ScanAps to the device, its answer in
// one or more packets that reply processing stores, the last of them setting the engine's scanComplete.

// How long the wizard waits for a scan to complete.
inline constexpr std::chrono::seconds kApScanLimit{30};
// The scan sort code that orders by signal.
inline constexpr int kScanSortBySignal = 4;

// The signal picture of an access point: 1 for -75 dBm or weaker, 3 up to -60, 5 above.
int SignalImageIndex(int8_t signal);
// The text of a scan's security code, as the list shows it.
const char* ScanSecurityText(int code);

// Empties the scanned table and sends ScanAps (never resent); false when no adapter reaches the device.
bool StartApScan(CNetManagement& engine, CSqlManagement& store, const std::string& ip,
                 const std::string& mac);
// The scanned access points, strongest first.
std::vector<ScanEntry> ScannedApsBySignal(CSqlManagement& store);

struct ApScanResult {
    bool sent = false;
    bool completed = false; // the last packet of the answer came within the limit
    std::vector<ScanEntry> aps;
};

// A whole scan: start it, wait until it completes, the limit passes or stop comes, then read the list.
ApScanResult RunApScan(CNetManagement& engine, CSqlManagement& store, const std::string& ip,
                       const std::string& mac, std::stop_token stop,
                       std::chrono::milliseconds limit = kApScanLimit);

} // namespace rf
