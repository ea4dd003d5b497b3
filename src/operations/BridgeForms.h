#pragma once

#include "operations/IpBatch.h"
#include "protocol/DeviceInfo.h"
#include "protocol/ScanEntry.h"
#include "rules/ChoiceList.h"
#include "rules/SecurityForm.h"

#include <functional>
#include <string>

namespace rf {

// The bridge wizard's steps as the user sees them, without a window: the security step (the link to the
// access point) and the IP step (the device's own settings once bridged). Texts are local (UTF-8) texts.

// The security step. security.mode is 0 (None), 1 (WEP), 2 (WPA-PSK), 3 (WPA2-PSK) or 4 (mixed); the key
// renewal time is not offered and stays "0".
struct BridgeSecurityForm {
    std::string ssid;
    ChoiceList channels;
    SecurityForm security;
    MacAddress apMac{}; // the access point ticked in the scan step
};

// "Auto" (0), then 1-13 on 2.4 GHz (rf_type 0) or 36-48 and 149-161 on 5 GHz; a channel that is not
// listed selects "Auto".
ChoiceList BuildBridgeChannelList(int rfType, int channel);
// None, WEP, WPA-PSK, WPA2-PSK, Mixed WPA/WPA2-PSK; a mode that is not listed selects None.
ChoiceList BuildBridgeSecurityList(int mode);

// The step as it opens: 2.4 GHz channels with Auto, no security, AES.
BridgeSecurityForm OpenBridgeSecurity();

// Fills the step from the access point: its SSID, its channel when the device's band offers it, and the
// security mode and cipher its scan code stands for. A WEP access point presets WEP with open
// authentication; codes the scan table does not know preset None.
void PresetFromScan(BridgeSecurityForm& form, int rfType, const ScanEntry& ap);

// Checks the step (SSID, then the key of the chosen mode, with the same key rules as the wireless tab) and
// writes the bridge block into out: work mode Station, the access point's MAC, the channel, the SSID and
// the security. Empty when accepted, else the message key of the first failure; out is then unchanged.
std::string CollectBridgeSettings(const BridgeSecurityForm& form, int model, DeviceInfo& out);

// The IP step as it opens on the device's current settings.
IpSettingsTexts OpenBridgeIp(const DeviceInfo& info);

struct BridgeIpCollect {
    std::string message; // when refused: the message key
    IpSettingsBlock block{};

    bool Accepted() const { return message.empty(); }
};

// Checks the IP step whether or not it was changed (the address rules every IP form applies), then that
// no other stored device has the address (usedByAnother never counts the device's own address), and
// builds a static block with apply_flag 0: the device applies it together with the bridge settings.
BridgeIpCollect CollectBridgeIpSettings(const IpSettingsTexts& texts,
                                        const std::function<bool(const std::string&)>& usedByAnother);

} // namespace rf
