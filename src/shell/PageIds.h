#pragma once

#include <array>

namespace rf {

// The pages of the container; the ids are also what the page-number strips report.
enum PageId : int {
    kPageStatus = 133,
    kPageManagement = 134,
    kPageBridge = 135,
    kPageReboot = 136,
    kPageUpgrade = 137,
    kPageRestore = 138,
    kPageInstallHelp = 139,
    kPageSystemTool = 155,
};

// In the order of the navigation menu.
inline constexpr std::array<int, 8> kMenuPages{kPageStatus,     kPageManagement, kPageBridge,
                                               kPageReboot,     kPageUpgrade,    kPageRestore,
                                               kPageSystemTool, kPageInstallHelp};

// Pages with a device list.
constexpr bool HasDeviceList(int id) {
    return id >= kPageStatus && id <= kPageRestore;
}
// Pages that the 30-second refresh leaves alone: their lists show a batch in progress.
constexpr bool SkipsPeriodicRefresh(int id) {
    return id == kPageReboot || id == kPageUpgrade || id == kPageRestore;
}

} // namespace rf
