#include "operations/OperationChecks.h"

#include "operations/DeviceOperations.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

namespace rf {
namespace {

std::vector<ap_info_stu> StoredDevices(CSqlManagement& store) {
    std::vector<ap_info_stu> devices;
    int pageCount = 0;
    int onlineCount = 0;
    store.QueryDevicePage(SortKey::Mac, "", true, INT_MAX, 1, devices, pageCount, onlineCount);
    return devices;
}

// "10.0.0.05" and "10.0.0.5" are the same address; text that is no address is empty.
std::string CanonicalIp(std::string_view text) {
    const auto ip = ParseIpText(text);
    return ip ? IpBytesToText(*ip) : std::string{};
}

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

bool IsOneOf(const std::vector<std::string>& macs, const std::string& mac) {
    return std::ranges::find(macs, mac) != macs.end();
}

std::vector<std::string> MacsOf(const std::vector<SelectedDevice>& devices) {
    std::vector<std::string> macs;
    macs.reserve(devices.size());
    for (const SelectedDevice& device : devices) {
        macs.push_back(device.Mac());
    }
    return macs;
}

// The device whose address would change first, then the stored devices that hold the address.
std::vector<std::string> AddressConcerns(const std::vector<ap_info_stu>& stored, const std::string& mac,
                                         const std::string& ip) {
    std::vector<std::string> macs{mac};
    for (const ap_info_stu& device : stored) {
        if (device.mac() != mac && StoredIp(device) == ip) {
            macs.push_back(device.mac());
        }
    }
    return macs;
}

} // namespace

bool TakesTransparentBridge(int model, int workMode) {
    return HasTransparentBridge(model, workMode);
}

bool TakesBridge(const DeviceInfo& info) {
    const int position = info.mode_btn_status();
    return position == 0 || position == 2;
}

std::function<bool(const std::string&)> AddressUsedByOthers(CSqlManagement& store,
                                                            const std::vector<std::string>& ownMacs) {
    std::unordered_set<std::string> used;
    std::unordered_set<std::string> own;
    for (const ap_info_stu& device : StoredDevices(store)) {
        (IsOneOf(ownMacs, device.mac()) ? own : used).insert(StoredIp(device));
    }
    for (const std::string& ip : own) {
        used.erase(ip);
    }
    return [used = std::move(used)](const std::string& ip) { return used.contains(CanonicalIp(ip)); };
}

CheckResult CheckRename(const SelectedDevice& device, const std::string& currentName,
                        const std::string& name) {
    if (name == currentName) {
        BatchPlan nothing;
        nothing.type = MessageType::SetName;
        return {nothing, std::nullopt};
    }
    if (!IsValidName(name, device.model)) {
        return CheckResult::Refuse(NameRuleMessage(device.model), {device.Mac()});
    }
    return {PlanRename(device, name), std::nullopt};
}

CheckResult CheckSetIp(CSqlManagement& store, const SelectedDevice& device, const IpSettingsTexts& texts) {
    const std::string rule = ValidateIpSettings(texts.ip, texts.mask, texts.gateway, texts.dns1, texts.dns2);
    if (!rule.empty()) {
        return CheckResult::Refuse(rule, {device.Mac()});
    }
    const std::string ip = CanonicalIp(texts.ip);
    if (AddressUsedByOthers(store, {device.Mac()})(ip)) {
        return CheckResult::Refuse(kAddressInUseMessage,
                                   AddressConcerns(StoredDevices(store), device.Mac(), ip));
    }
    const IpSettingsBlock block =
        BuildStaticIpBlock(IpTextToBytes(ip), IpTextToBytes(texts.mask), IpTextToBytes(texts.gateway),
                           IpTextToBytes(texts.dns1), IpTextToBytes(texts.dns2));
    return {PlanSetIp(device, block), std::nullopt};
}

CheckResult CheckIpRange(CSqlManagement& store, const std::vector<SelectedDevice>& devices,
                         const IpSettingsTexts& texts, std::string_view end) {
    if (devices.size() == 1) {
        return CheckSetIp(store, devices.front(), texts);
    }
    const std::vector<std::string> macs = MacsOf(devices);
    const std::string rule =
        ValidateIpRange(texts.ip, end, texts.mask, texts.gateway, texts.dns1, texts.dns2, devices.size());
    if (devices.empty() || !rule.empty()) {
        return CheckResult::Refuse(devices.empty() ? kNoDevicesMessage : rule, macs);
    }
    const IpBatch batch{IpTextToBytes(texts.ip),      IpTextToBytes(end),        IpTextToBytes(texts.mask),
                        IpTextToBytes(texts.gateway), IpTextToBytes(texts.dns1), IpTextToBytes(texts.dns2)};
    const auto usedByOthers = AddressUsedByOthers(store, macs);
    return {PlanIpRange(batch, devices, [&](const Ipv4Bytes& ip) { return usedByOthers(IpBytesToText(ip)); }),
            std::nullopt};
}

std::vector<std::string> DevicesWithoutAddress(const BatchPlan& plan) {
    std::vector<std::string> macs;
    for (const BatchItem& item : plan.items) {
        if (!item.sendable) {
            macs.push_back(item.mac);
        }
    }
    return macs;
}

CheckResult CheckTransparentBridge(CSqlManagement& store, const std::vector<SelectedDevice>& devices,
                                   bool on) {
    std::vector<std::string> refused;
    for (const SelectedDevice& device : devices) {
        ap_info_stu record;
        const bool stored = store.GetDevice(device.Mac(), record) && record.mac() == device.Mac();
        if (!stored || !TakesTransparentBridge(record.ap_type(), record.device_info().work_mode())) {
            refused.push_back(device.Mac());
        }
    }
    if (devices.empty() || !refused.empty()) {
        return CheckResult::Refuse(kNotConfigurableMessage, refused);
    }
    return {PlanTransparentBridge(devices, on), std::nullopt};
}

std::optional<Refusal> CheckBridgeStart(const ap_info_stu& record) {
    if (TakesBridge(record.device_info())) {
        return std::nullopt;
    }
    return Refusal{kModeSwitchMessage, {record.mac()}};
}

CheckResult CheckBridge(const ap_info_stu& record, const DeviceInfo& settings) {
    if (std::optional<Refusal> refusal = CheckBridgeStart(record)) {
        return {{}, std::move(refusal)};
    }
    const SelectedDevice device = SelectedDevice::Make(StoredIp(record), record.mac(), record.ap_type());
    return {PlanBridge(device, settings), std::nullopt};
}

} // namespace rf
