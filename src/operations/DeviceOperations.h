#pragma once

#include "operations/BatchPlan.h"
#include "operations/ConfigChanges.h"
#include "operations/IpBatch.h"
#include "operations/SelectedDevice.h"

#include <string>
#include <vector>

namespace rf {

class CSqlManagement;

// The requests a user can send to devices, each built once for every front end: what goes to each
// device and how the store shows that it took effect. Run them with RunBatch.

// Reboot or factory reset; devices that carry a bridged station go first, the others 200 ms after the
// last of them. Verified by the status the device's answer leaves in the store ("Restarting", "Reseting").
BatchPlan PlanReboot(CSqlManagement& store, const std::vector<SelectedDevice>& devices);
BatchPlan PlanReset(CSqlManagement& store, const std::vector<SelectedDevice>& devices);

// SetName with a name already checked by the name rules, cut to 32 bytes in device encoding. Verified by
// the device's details.
BatchPlan PlanRename(const SelectedDevice& device, const std::string& localName);

// SetIp with static settings for one device. Verified by its details, asked for at its new address.
BatchPlan PlanSetIp(const SelectedDevice& device, const IpSettingsBlock& block);

// SetIp for several devices: consecutive addresses of the range (see AssignIpRange, skipping addresses
// that other devices use); devices left without an address are not sent anything.
BatchPlan PlanIpRange(const IpBatch& batch, const std::vector<SelectedDevice>& devices,
                      const std::function<bool(const Ipv4Bytes&)>& inUse);

// SetTransparentBridge with the same value to every device. Verified by their details.
BatchPlan PlanTransparentBridge(const std::vector<SelectedDevice>& devices, bool on);

// The configuration dialog's Save for one device: one single-device plan per changed block, in the order
// name, wireless, schedule, VLAN, IP. SetIp goes with SetPendingIp and apply_flag 1, except when the VLAN
// changes too: then SetVlan carries apply_flag 1 and SetIp 0, so that the device applies both at its
// restart, and the SetIp follows the SetVlan without waiting for details in between. Every plan says how
// the device's details show its block. Run them with SaveConfiguration.
std::vector<BatchPlan> PlanConfigure(const SelectedDevice& device, const ap_info_stu& record,
                                     const ConfigChanges& changes);

// SetBridge for one device: the bridge block and the IP block of settings, 326 bytes. Verified by its
// details, asked for at its new address: a station of the chosen access point at that address.
BatchPlan PlanBridge(const SelectedDevice& device, const DeviceInfo& settings);

} // namespace rf
