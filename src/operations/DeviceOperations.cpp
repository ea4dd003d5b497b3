#include "operations/DeviceOperations.h"

#include "core/OperateCharacter.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceNameBlock.h"
#include "protocol/SettingsPayloads.h"
#include "rules/DeviceRules.h"
#include "store/SqlManagement.h"

#include <algorithm>

namespace rf {
namespace {

constexpr size_t kMaxNameBytes = 32;
constexpr std::chrono::milliseconds kAfterAccessPoints{200};

BatchItem ItemFor(const SelectedDevice& device, std::span<const std::uint8_t> payload) {
    BatchItem item;
    item.mac = device.Mac();
    item.ip = device.Ip();
    item.detailIp = device.Ip();
    item.payload.assign(payload.begin(), payload.end());
    return item;
}

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

bool IsAtNewAddress(const BatchItem& item, const ap_info_stu& stored) {
    return StoredIp(stored) == item.detailIp;
}

BatchPlan PlanRestart(CSqlManagement& store, const std::vector<SelectedDevice>& devices, MessageType type,
                      DeviceStatus status) {
    BatchPlan plan;
    plan.type = type;
    for (const SelectedDevice& device : devices) {
        plan.items.push_back(ItemFor(device, {}));
    }
    const auto stations =
        std::stable_partition(plan.items.begin(), plan.items.end(),
                              [&](const BatchItem& item) { return store.HasBridgedStation(item.mac); });
    if (stations != plan.items.begin() && stations != plan.items.end()) {
        std::prev(stations)->pauseAfter = kAfterAccessPoints;
    }
    plan.applied = [status](const BatchItem&, const ap_info_stu& stored) {
        return stored.ap_status() == ToCode(status);
    };
    plan.restarts = true;
    return plan;
}

} // namespace

BatchPlan PlanReboot(CSqlManagement& store, const std::vector<SelectedDevice>& devices) {
    return PlanRestart(store, devices, MessageType::Reboot, DeviceStatus::Restarting);
}

BatchPlan PlanReset(CSqlManagement& store, const std::vector<SelectedDevice>& devices) {
    return PlanRestart(store, devices, MessageType::Restore, DeviceStatus::Resetting);
}

BatchPlan PlanRename(const SelectedDevice& device, const std::string& localName) {
    const std::string name = TruncateToByteBudget(localName, kMaxNameBytes);
    const DeviceNameBlock block = DeviceNameBlock::FromLocalName(name);
    BatchPlan plan;
    plan.type = MessageType::SetName;
    plan.items.push_back(ItemFor(device, block.bytes()));
    plan.askDetails = true;
    plan.applied = [name](const BatchItem&, const ap_info_stu& stored) {
        return stored.device_info().ap_name() == name;
    };
    return plan;
}

BatchPlan PlanSetIp(const SelectedDevice& device, const IpSettingsBlock& block) {
    BatchPlan plan;
    plan.type = MessageType::SetIp;
    BatchItem item = ItemFor(device, block);
    item.detailIp = IpBytesToText(BlockAddress(block, kBlockIpOffset));
    plan.items.push_back(std::move(item));
    plan.askDetails = true;
    plan.applied = IsAtNewAddress;
    return plan;
}

BatchPlan PlanIpRange(const IpBatch& batch, const std::vector<SelectedDevice>& devices,
                      const std::function<bool(const Ipv4Bytes&)>& inUse) {
    const std::vector<Ipv4Bytes> addresses = AssignIpRange(batch, devices.size(), inUse);
    BatchPlan plan;
    plan.type = MessageType::SetIp;
    plan.askDetails = true;
    plan.applied = IsAtNewAddress;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (i < addresses.size()) {
            BatchItem item = ItemFor(devices[i], BuildBatchIpBlock(batch, addresses[i]));
            item.detailIp = IpBytesToText(addresses[i]);
            plan.items.push_back(std::move(item));
        } else {
            BatchItem item = ItemFor(devices[i], {});
            item.sendable = false;
            plan.items.push_back(std::move(item));
        }
    }
    return plan;
}

BatchPlan PlanBridge(const SelectedDevice& device, const DeviceInfo& settings) {
    BatchPlan plan;
    plan.type = MessageType::SetBridge;
    BatchItem item = ItemFor(device, BuildSetBridgePayload(settings));
    item.detailIp = IpBytesToText(settings.ip());
    plan.items.push_back(std::move(item));
    plan.askDetails = true;
    plan.applied = [apMac = settings.bridge_mac()](const BatchItem& sent, const ap_info_stu& stored) {
        const DeviceInfo& info = stored.device_info();
        return IsAtNewAddress(sent, stored) && info.work_mode() == 2 && info.bridge_mac() == apMac;
    };
    return plan;
}

BatchPlan PlanTransparentBridge(const std::vector<SelectedDevice>& devices, bool on) {
    BatchPlan plan;
    plan.type = MessageType::SetTransparentBridge;
    const auto payload = BuildSetTransparentBridgePayload(on);
    for (const SelectedDevice& device : devices) {
        plan.items.push_back(ItemFor(device, payload));
    }
    plan.askDetails = true;
    plan.applied = [on](const BatchItem&, const ap_info_stu& stored) {
        return (stored.device_info().bridge_transparent() != 0) == on;
    };
    return plan;
}

namespace {

DeviceInfo WithBlock(DeviceInfo info, size_t offset, std::span<const std::uint8_t> block) {
    std::copy(block.begin(), block.end(), info.mutable_bytes().begin() + static_cast<std::ptrdiff_t>(offset));
    return info;
}

// What a user sets on the wireless tab, as the device reports it back.
bool SameRadio(const DeviceInfo& a, const DeviceInfo& b) {
    return a.ssid() == b.ssid() && a.ssid_hide() == b.ssid_hide() && a.country_code() == b.country_code() &&
           a.network_mode() == b.network_mode() && a.bandwidth() == b.bandwidth() &&
           a.channel() == b.channel() && a.expand_channel() == b.expand_channel() &&
           a.tx_power() == b.tx_power() && a.security() == b.security();
}

BatchPlan PlanWireless(const SelectedDevice& device, const DeviceInfo& info,
                       const RadioSettingsBlock& block) {
    const DeviceInfo wanted = WithBlock(info, DeviceInfo::kRadioSettingsOffset, block);
    BatchPlan plan;
    plan.type = MessageType::SetWireless;
    plan.items.push_back(ItemFor(device, BuildSetWirelessPayload(wanted)));
    plan.askDetails = true;
    plan.applied = [wanted](const BatchItem&, const ap_info_stu& stored) {
        return SameRadio(stored.device_info(), wanted);
    };
    return plan;
}

BatchPlan PlanSchedule(const SelectedDevice& device, const RebootScheduleBlock& block) {
    BatchPlan plan;
    plan.type = MessageType::SetRebootSchedule;
    plan.items.push_back(ItemFor(device, block));
    plan.askDetails = true;
    plan.applied = [block](const BatchItem&, const ap_info_stu& stored) {
        const DeviceInfo held = stored.device_info();
        const auto bytes = held.reboot_schedule_block();
        return std::equal(block.begin(), block.end(), bytes.begin(), bytes.end());
    };
    return plan;
}

// A VLAN change restarts the device; with an IP change beside it, the SetIp must reach the device before
// that restart, so its details are not waited for.
BatchPlan PlanVlan(const SelectedDevice& device, const DeviceInfo& info, const VlanSettingsBlock& block,
                   bool withIp) {
    const DeviceInfo wanted = WithBlock(info, DeviceInfo::kVlanSettingsOffset, block);
    BatchPlan plan;
    plan.type = MessageType::SetVlan;
    plan.items.push_back(ItemFor(device, BuildSetVlanPayload(wanted, withIp)));
    plan.askDetails = !withIp;
    plan.applied = [wanted](const BatchItem&, const ap_info_stu& stored) {
        const DeviceInfo held = stored.device_info();
        return held.vlan_en() == wanted.vlan_en() && held.vlan_id() == wanted.vlan_id() &&
               held.vlan_id_wlan() == wanted.vlan_id_wlan() && held.vlan_id_lan() == wanted.vlan_id_lan();
    };
    return plan;
}

} // namespace

std::vector<BatchPlan> PlanConfigure(const SelectedDevice& device, const ap_info_stu& record,
                                     const ConfigChanges& changes) {
    const DeviceInfo info = record.device_info();
    const bool ipAndVlan = changes.ip && changes.vlan;
    std::vector<BatchPlan> plans;
    if (changes.name) {
        plans.push_back(PlanRename(device, *changes.name));
    }
    if (changes.wireless) {
        plans.push_back(PlanWireless(device, info, *changes.wireless));
    }
    if (changes.schedule) {
        plans.push_back(PlanSchedule(device, *changes.schedule));
    }
    if (changes.vlan) {
        plans.push_back(PlanVlan(device, info, *changes.vlan, ipAndVlan));
    }
    if (changes.ip) {
        IpSettingsBlock block = *changes.ip;
        block[kBlockApplyOffset] = ipAndVlan ? 0 : 1;
        BatchPlan ip = PlanSetIp(device, block);
        ip.askDetails = !ipAndVlan; // with a VLAN change it takes effect only at the restart
        plans.push_back(std::move(ip));
    }
    return plans;
}

} // namespace rf
