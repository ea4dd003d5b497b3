#include "operations/BridgeForms.h"

#include "operations/OperationCatalogue.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"
#include "rules/WirelessForm.h"

#include <array>
#include <utility>

namespace rf {
namespace {

constexpr const char* kEmptySsidMessage = "The ssid can not be empty!";

constexpr int kStationWorkMode = 2;
constexpr std::array<int, 8> kFiveGhzChannels{36, 40, 44, 48, 149, 153, 157, 161};
constexpr std::array<int, 5> kBridgeModes{0, 1, 2, 3, 4};

// Scan security code -> security mode and cipher (-1: keep the cipher selected).
std::pair<int, int> ModeOfScanCode(int code) {
    switch (code) {
    case 1:
        return {1, -1};
    case 2:
        return {2, 0};
    case 3:
        return {2, 1};
    case 4:
        return {3, 0};
    case 5:
        return {3, 1};
    case 6:
        return {3, 2};
    case 7:
        return {4, 0};
    case 8:
        return {4, 1};
    case 9:
        return {4, 2};
    case 10:
        return {2, 2};
    default:
        return {0, -1};
    }
}

} // namespace

ChoiceList BuildBridgeChannelList(int rfType, int channel) {
    ChoiceList list;
    list.items.push_back({"Auto", 0, true});
    if (rfType == 0) {
        for (int c = 1; c <= 13; ++c) {
            list.items.push_back({std::to_string(c), c, false});
        }
    } else {
        for (int c : kFiveGhzChannels) {
            list.items.push_back({std::to_string(c), c, false});
        }
    }
    list.SelectData(channel, 0);
    return list;
}

ChoiceList BuildBridgeSecurityList(int mode) {
    ChoiceList list;
    for (int m : kBridgeModes) {
        list.items.push_back({SecurityModeItem(m), m, true});
    }
    list.SelectData(mode, 0);
    return list;
}

BridgeSecurityForm OpenBridgeSecurity() {
    BridgeSecurityForm form;
    form.channels = BuildBridgeChannelList(0, 0);
    form.security.pskRenewal = "0";
    return form;
}

void PresetFromScan(BridgeSecurityForm& form, int rfType, const ScanEntry& ap) {
    form.apMac = ap.mac();
    form.ssid = ap.ssid();
    form.channels = BuildBridgeChannelList(rfType, ap.channel());
    const auto [mode, cipher] = ModeOfScanCode(ap.secure_mode());
    form.security.mode = mode;
    if (cipher >= 0) {
        form.security.pskCipher = cipher;
    }
    if (mode == 1) {
        form.security.wepAuth = 0;
    }
}

std::string CollectBridgeSettings(const BridgeSecurityForm& form, int model, DeviceInfo& out) {
    if (form.ssid.empty()) {
        return kEmptySsidMessage;
    }
    if (!IsValidName(form.ssid, model)) {
        return model == 4 || model == 261 ? kStrictSsidMessage : kLooseSsidMessage;
    }
    SecurityForm security = form.security;
    security.pskRenewal = "0";
    if (security.mode < 0 || security.mode > 4) {
        security.mode = 0;
    }
    if (security.mode != 0) {
        if (std::string refused = ValidateSecurity(security); !refused.empty()) {
            return refused;
        }
    }
    std::fill_n(out.mutable_bytes().begin() + DeviceInfo::kBridgeSettingsOffset,
                DeviceInfo::kBridgeSettingsSize, uint8_t{0});
    out.set_bridge_work_mode(kStationWorkMode);
    out.set_bridge_mac(form.apMac);
    out.set_bridge_channel(static_cast<uint8_t>(form.channels.SelectedData().value_or(0)));
    out.set_bridge_ssid(form.ssid);
    SecurityBlock block;
    WriteSecurity(security, block);
    out.set_bridge_security(block);
    return {};
}

IpSettingsTexts OpenBridgeIp(const DeviceInfo& info) {
    return StoredIpTexts(info);
}

BridgeIpCollect CollectBridgeIpSettings(const IpSettingsTexts& texts,
                                        const std::function<bool(const std::string&)>& usedByAnother) {
    BridgeIpCollect collect;
    collect.message = ValidateIpSettings(texts.ip, texts.mask, texts.gateway, texts.dns1, texts.dns2);
    if (collect.message.empty() && usedByAnother && usedByAnother(texts.ip)) {
        collect.message = kAddressInUseMessage;
    }
    if (!collect.message.empty()) {
        return collect;
    }
    const auto address = [](const std::string& text) {
        return text.empty() ? Ipv4Bytes{} : IpTextToBytes(text);
    };
    collect.block = BuildStaticIpBlock(address(texts.ip), address(texts.mask), address(texts.gateway),
                                       address(texts.dns1), address(texts.dns2));
    collect.block[kBlockApplyOffset] = 0;
    return collect;
}

} // namespace rf
