#pragma once

#include "operations/DeviceOutcome.h"
#include "operations/OperationChecks.h"
#include "operations/UpgradeChecks.h"
#include "protocol/Wire.h"
#include "store/StoreWriteFault.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// Every operation a user can start on devices, one entry each: which devices take it, what names it, the
// check that turns the user's input into a plan or a refusal, and the words its refusals and outcomes are
// told in. The pages and radiofleet-cli take input and show output; what they refuse and how they report
// comes from here, so the two never say different things.
//
// Every batch reports each device by DeviceLineText (DeviceOutcome.h): its MAC, the address its request
// went to and OutcomeText, the change it made and how the PC knows it.

struct OperationEntry {
    const char* verb;     // radiofleet-cli's command; for a configuration block, the name its lines carry
    const char* titleKey; // names it in the pages' summaries; for a configuration block, its tab
    MessageType request;  // what each device is sent
    // Which devices take it, by model code and work mode; nullptr: every device.
    bool (*takes)(int model, int workMode);
    const char* noDeviceKey; // the refusal when none of the chosen devices takes it
};

// rename: one device, CheckRename (the name rules of its model; its own name is no change). Outcome
// "renamed to NAME".
inline constexpr OperationEntry kRenameEntry{"rename", "Rename", MessageType::SetName, nullptr,
                                             kNoDevicesMessage};
// set-ip: one device, CheckSetIp (the address rules; no address another device holds). Outcome "moved to
// IP", checked by its details at the new address.
inline constexpr OperationEntry kSetIpEntry{"set-ip", "Set IP", MessageType::SetIp, nullptr,
                                            kNoDevicesMessage};
// The status page's Set IP for several devices: CheckIpRange; RangeTooSmallText names those left out.
inline constexpr OperationEntry kSetIpRangeEntry{"set-ip", "Set IP", MessageType::SetIp, nullptr,
                                                 kNoDevicesMessage};
// transparent-bridge: CheckTransparentBridge over the models and work modes that have it.
inline constexpr OperationEntry kTransparentBridgeEntry{"transparent-bridge", "Set Bridge",
                                                        MessageType::SetTransparentBridge,
                                                        &TakesTransparentBridge, kNotConfigurableMessage};
// configure: the configuration dialog's Save (CollectConfigChanges, PlanConfigure, SaveConfiguration), one
// entry per block in the order they leave. An omitted or unchanged setting keeps its stored value.
inline constexpr OperationEntry kConfigBlockEntries[] = {
    {"name", "Wireless_location", MessageType::SetName, nullptr, kNoDevicesMessage},
    {"wireless", "WirelessSet", MessageType::SetWireless, nullptr, kNoDevicesMessage},
    {"schedule", "TimeReboot", MessageType::SetRebootSchedule, nullptr, kNoDevicesMessage},
    {"vlan", "VLAN", MessageType::SetVlan, nullptr, kNoDevicesMessage},
    {"ip", "IPSET", MessageType::SetIp, nullptr, kNoDevicesMessage},
};
// join: the bridge wizard; CheckBridgeStart (the mode switch) before the scan, CheckBridge before the send.
// Its answer is told by JoinAnswerKey.
inline constexpr OperationEntry kJoinEntry{"join", "Device bridge", MessageType::SetBridge, nullptr,
                                           kNoDevicesMessage};
// scan: the access-point survey of the bridge wizard (RunApScan); ScanIncompleteText when no answer came.
inline constexpr OperationEntry kScanEntry{"scan", "SearchOtherAP", MessageType::ScanAps, nullptr,
                                           kNoDevicesMessage};
// reboot, reset: every device (PlanReboot, PlanReset), checked by the status its answer leaves or, when the
// answer was lost, by the device coming back with a smaller up time.
inline constexpr OperationEntry kRebootEntry{"reboot", "Reboot", MessageType::Reboot, nullptr,
                                             kNoDevicesMessage};
inline constexpr OperationEntry kResetEntry{"reset", "Restore", MessageType::Restore, nullptr,
                                            kNoDevicesMessage};
// upgrade: CheckUpgradeCount, CheckUpgradeFileName and ReadUpgradeFile, then TakesUpgrade per device; the
// others are "not this type" (UpgradeOutcomeText).
inline constexpr OperationEntry kUpgradeEntry{"upgrade", "Device upgrade", MessageType::Upgrade, nullptr,
                                              kNoDevicesMessage};

// A configuration block's entry by its request (the IP block for any other request).
const OperationEntry& ConfigBlockEntry(MessageType type);

// Whether the device takes the operation.
bool Takes(const OperationEntry& entry, int model, int workMode);

// "nothing changed: nothing sent": a rename to the device's own name, a configure that changes nothing.
std::string NothingChangedText();

// Set IP, configure and join: the IP fields typed over the device's stored ones. A field left out keeps
// its stored value; "none" as a gateway or DNS server clears it (0.0.0.0).
inline constexpr std::string_view kClearedSetting = "none";
struct IpSettingsInput {
    std::optional<std::string> ip, mask, gateway, dns1, dns2;
};
IpSettingsTexts StoredIpTexts(const DeviceInfo& info);
IpSettingsTexts IpSettingsOverStored(const IpSettingsInput& given, const IpSettingsTexts& stored);

// Set IP for several devices: the devices a range too small gives no address; translated.
std::string RangeTooSmallText(const std::vector<std::string>& macs);

// Security modes typed by their list text (any case), among the first modeCount modes: the mode, or
// nullopt with the refusal in error. A bridge offers only the first kBridgeModeCount modes.
inline constexpr int kBridgeModeCount = 5; // None, WEP and the three pre-shared-key modes
std::optional<int> SecurityModeOfText(const std::string& text, int modeCount, std::string& error);
// A key given for the mode None.
std::string KeyWithoutModeText();
// A channel the wireless tab does not offer for the country and bandwidth (configure), or the bridge's
// channel list for the radio's band (join).
std::string ChannelNotOfferedText();
std::string BridgeChannelNotOfferedText(int channel);

// join: the device's own answer to SetBridge ("Bridge success", "Bridge fail"); nullptr when it did not
// answer.
const char* JoinAnswerKey(DeviceOutcome outcome);
// join: the scan did not hear the access point asked for.
std::string ApNotHeardText(const std::string& mac, const std::string& bssid);

// Why the store cannot be written: SQLite's words, with a hint when the disk may be full; translated.
std::string StoreFaultReason(const StoreWriteFault& fault);
// The same as radiofleet-cli says it.
std::string StoreCannotBeWrittenText(const StoreWriteFault& fault);

// scan: no answer completed the survey within the limit; translated.
std::string ScanIncompleteText(std::chrono::seconds limit);

// upgrade: whether a device is of the type being upgraded; the refusal when none of the devices is; the
// firmware server's failure to start.
bool TakesUpgrade(const SelectedDevice& device, const UpgradeType& type);
// The addresses of the devices that take the upgrade: the only clients the firmware server serves.
std::vector<std::string> UpgradeAddresses(const std::vector<SelectedDevice>& devices,
                                          const UpgradeType& type);
std::string NoDeviceOfTypeText(const std::string& type);
inline constexpr const char* kFirmwareServerFailedMessage = "The firmware server could not be started!";

} // namespace rf
