#include "operations/OperationCatalogue.h"

#include "core/Language.h"
#include "protocol/CodeTables.h"
#include "rules/SecurityForm.h"

#include <algorithm>
#include <cctype>

namespace rf {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The translated text of key with %1 and %2 replaced.
std::string Filled(const char* key, const std::string& first, const std::string& second = {}) {
    std::string text = Translate(key);
    for (const auto& [mark, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}}) {
        if (const size_t at = text.find(mark); at != std::string::npos) {
            text.replace(at, 2, *value);
        }
    }
    return text;
}

} // namespace

const OperationEntry& ConfigBlockEntry(MessageType type) {
    const auto found = std::ranges::find(kConfigBlockEntries, type, &OperationEntry::request);
    return found != std::end(kConfigBlockEntries) ? *found
                                                  : kConfigBlockEntries[std::size(kConfigBlockEntries) - 1];
}

bool Takes(const OperationEntry& entry, int model, int workMode) {
    return entry.takes == nullptr || entry.takes(model, workMode);
}

std::string NothingChangedText() {
    return Translate("nothing changed: nothing sent");
}

IpSettingsTexts StoredIpTexts(const DeviceInfo& info) {
    return {IpBytesToText(info.ip()), IpBytesToText(info.ip_mask()), IpBytesToText(info.ip_gateway()),
            IpBytesToText(info.ip_dns1()), IpBytesToText(info.ip_dns2())};
}

IpSettingsTexts IpSettingsOverStored(const IpSettingsInput& given, const IpSettingsTexts& stored) {
    const auto keptOrCleared = [](const std::optional<std::string>& field, const std::string& kept) {
        return !field ? kept : *field == kClearedSetting ? std::string("0.0.0.0") : *field;
    };
    return {given.ip.value_or(stored.ip), given.mask.value_or(stored.mask),
            keptOrCleared(given.gateway, stored.gateway), keptOrCleared(given.dns1, stored.dns1),
            keptOrCleared(given.dns2, stored.dns2)};
}

std::string RangeTooSmallText(const std::vector<std::string>& macs) {
    std::string text = Translate("The address range is too small; these devices would get no address:");
    for (const std::string& mac : macs) {
        text += "\n" + mac;
    }
    return text;
}

std::optional<int> SecurityModeOfText(const std::string& text, int modeCount, std::string& error) {
    for (int mode = 0; mode < modeCount; ++mode) {
        if (SameIgnoringCase(text, SecurityModeItem(mode))) {
            return mode;
        }
    }
    error = Filled(modeCount < kSecurityModeCount ? "unknown security mode for a bridge: %1"
                                                  : "unknown security mode: %1",
                   text);
    return std::nullopt;
}

std::string StoreFaultReason(const StoreWriteFault& fault) {
    return fault.MayBeDiskFull() ? fault.message + " " + Translate("(disk full?)") : fault.message;
}

std::string StoreCannotBeWrittenText(const StoreWriteFault& fault) {
    return Filled("the device store cannot be written: %1", StoreFaultReason(fault));
}

std::string KeyWithoutModeText() {
    return Translate("--key needs a security mode that has a key");
}

std::string ChannelNotOfferedText() {
    return Translate("The channel is not offered for this country and bandwidth!");
}

std::string BridgeChannelNotOfferedText(int channel) {
    return Filled("channel %1 is not offered on this radio's band", std::to_string(channel));
}

const char* JoinAnswerKey(DeviceOutcome outcome) {
    if (IsSuccess(outcome) || outcome == DeviceOutcome::NotApplied) {
        return "Bridge success";
    }
    return outcome == DeviceOutcome::Refused ? "Bridge fail" : nullptr;
}

std::string ApNotHeardText(const std::string& mac, const std::string& bssid) {
    return Filled("the scan of %1 did not find %2", mac, bssid);
}

std::string ScanIncompleteText(std::chrono::seconds limit) {
    return Filled("The scan did not complete within %1 seconds: no answer came from the device.",
                  std::to_string(limit.count()));
}

bool TakesUpgrade(const SelectedDevice& device, const UpgradeType& type) {
    return ModelText(device.model) == type.text;
}

std::vector<std::string> UpgradeAddresses(const std::vector<SelectedDevice>& devices,
                                          const UpgradeType& type) {
    std::vector<std::string> addresses;
    for (const SelectedDevice& device : devices) {
        if (TakesUpgrade(device, type)) {
            addresses.push_back(device.Ip());
        }
    }
    return addresses;
}

std::string NoDeviceOfTypeText(const std::string& type) {
    return Filled("no device of the type %1 among the MACs", type);
}

} // namespace rf
