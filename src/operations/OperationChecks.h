#pragma once

#include "operations/CheckResult.h"
#include "operations/IpBatch.h"
#include "operations/SelectedDevice.h"
#include "protocol/ApInfo.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

class CSqlManagement;

// The checks of the operations a user starts on chosen devices: the same inputs give the same plan or the
// same refusal in the pages and in radiofleet-cli.

inline constexpr const char* kNoDevicesMessage = "Please select the devices!";
inline constexpr const char* kNotConfigurableMessage = "Please select configurable devices!";
inline constexpr const char* kModeSwitchMessage =
    "The Mode Switch is at AP position, please switch it to Off position "
    "to modify to other operating mode.";

// Which devices can take an operation. Transparent bridging: models and work modes that have it. A bridge
// to an access point: the mode switch is off (0) or at the station position (2).
bool TakesTransparentBridge(int model, int workMode);
bool TakesBridge(const DeviceInfo& info);

// Whether an address (dotted text, read as its four numbers) is in use for the devices with ownMacs: held
// by another stored device and by none of them (a device may always keep its own current address).
std::function<bool(const std::string&)> AddressUsedByOthers(CSqlManagement& store,
                                                            const std::vector<std::string>& ownMacs);

// A new name by the name rules of the device's model. Its current name (local text) is no change, whatever
// the rules say of it: the plan has no items.
CheckResult CheckRename(const SelectedDevice& device, const std::string& currentName,
                        const std::string& name);

// Static IP settings for one device: the address rules, and no address that another stored device holds
// (its own current address is always allowed).
CheckResult CheckSetIp(CSqlManagement& store, const SelectedDevice& device, const IpSettingsTexts& texts);

// Consecutive addresses from texts.ip to end for the devices, with the shared settings of texts. One
// device is exactly CheckSetIp with the start address. For several, both ends pass the rules of one
// device and the start lies below the end; addresses held by stored devices outside the batch are
// skipped, those of the batch's own devices are not.
CheckResult CheckIpRange(CSqlManagement& store, const std::vector<SelectedDevice>& devices,
                         const IpSettingsTexts& texts, std::string_view end);
// The devices the plan of a range gives no address (the range was too small).
std::vector<std::string> DevicesWithoutAddress(const BatchPlan& plan);

// Transparent bridging on or off: every device, as stored, must take it; a refusal names those that
// do not.
CheckResult CheckTransparentBridge(CSqlManagement& store, const std::vector<SelectedDevice>& devices,
                                   bool on);

// Joining an access point: the mode switch rule, checked before the scan, and the bridge settings it
// would send.
std::optional<Refusal> CheckBridgeStart(const ap_info_stu& record);
CheckResult CheckBridge(const ap_info_stu& record, const DeviceInfo& settings);

} // namespace rf
