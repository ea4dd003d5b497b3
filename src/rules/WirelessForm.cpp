#include "rules/WirelessForm.h"

#include "core/Language.h"
#include "rules/CountryTable.h"
#include "rules/DeviceRules.h"
#include "rules/WirelessLists.h"

#include <charconv>
#include <optional>

namespace rf {
namespace {

bool IsStrictModel(int model) {
    return model == 4 || model == 261;
}

std::optional<long> PowerNumber(const std::string& text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? std::optional(value) : std::nullopt;
}

std::string Check(const WirelessForm& form, const DeviceInfo& stored, int model) {
    if (form.name.empty()) {
        return kNameEmptyMessage;
    }
    // What the device already holds is no change: a name or SSID it came with is not judged again.
    if (form.name != stored.ap_name() && !IsValidName(form.name, model)) {
        return NameRuleMessage(model);
    }
    if (form.ssid.empty()) {
        return kSsidEmptyMessage;
    }
    if (form.ssid != stored.ssid() && !IsValidName(form.ssid, model)) {
        return IsStrictModel(model) ? kStrictSsidMessage : kLooseSsidMessage;
    }
    const std::optional<long> power = PowerNumber(form.power);
    if (!power || *power < stored.tx_power_min() || *power > stored.tx_power_max()) {
        return kPowerRangeMessage;
    }
    return ValidateSecurity(form.security);
}

uint8_t Chosen(const ChoiceList& list, uint8_t stored) {
    return static_cast<uint8_t>(list.SelectedData().value_or(stored));
}

RadioSettingsBlock BuildRadio(const WirelessForm& form, DeviceInfo info) {
    const WirelessChoices& c = form.choices;
    info.set_rf_count(1);
    info.set_rf_en(1);
    info.set_ssid_count(1);
    if (c.country()) {
        info.set_country_code(CountryCodeOfRow(*c.country()));
    }
    info.set_network_mode(Chosen(c.networkModes(), info.network_mode()));
    info.set_bandwidth(Chosen(c.bandwidths(), info.bandwidth()));
    info.set_channel(Chosen(c.channels(), info.channel()));
    info.set_expand_channel(static_cast<uint8_t>(
        ExpandChannelValue(info.rf_type(), info.bandwidth(), info.channel(), c.extensions())));
    info.set_tx_power(static_cast<uint8_t>(PowerNumber(form.power).value_or(0)));
    info.set_ssid_rf_type(info.rf_type());
    info.set_ssid_id(0);
    info.set_ssid_hide(form.hideSsid ? 1 : 0);
    info.set_ssid(form.ssid);
    SecurityBlock security = info.security();
    WriteSecurity(form.security, security);
    info.set_security(security);
    RadioSettingsBlock block{};
    const auto bytes = info.radio_settings_block();
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

} // namespace

WirelessForm OpenWirelessForm(const DeviceInfo& stored) {
    WirelessForm form;
    form.name = stored.ap_name();
    form.ssid = stored.ssid();
    form.hideSsid = stored.ssid_hide() != 0;
    form.power = std::to_string(stored.tx_power());
    form.choices = WirelessChoices::Open(stored);
    form.security = OpenSecurityForm(stored.security());
    return form;
}

bool IsWirelessTabEditable(const DeviceInfo& stored) {
    const int mode = stored.work_mode();
    return mode != 2 && mode != 3 && mode != 4;
}

WirelessCollect CollectWirelessSettings(const WirelessForm& form, const DeviceInfo& stored, int model) {
    WirelessCollect result;
    if (IsWirelessTabEditable(stored)) {
        result.message = Check(form, stored, model);
    } else {
        const WirelessForm shown = OpenWirelessForm(stored);
        if (form.name != shown.name || BuildRadio(form, stored) != BuildRadio(shown, stored)) {
            result.message = kRadioFromAccessPointMessage;
        }
    }
    if (result.message.empty()) {
        result.name = form.name;
        result.radio = BuildRadio(form, stored);
    }
    return result;
}

std::string WirelessMessageText(const std::string& key, const DeviceInfo& stored) {
    std::string text = Translate(key);
    if (key != kPowerRangeMessage) {
        return text;
    }
    const size_t mark = text.find("%d-%d");
    if (mark == std::string::npos) {
        return text;
    }
    return text.substr(0, mark) + std::to_string(stored.tx_power_min()) + "-" +
           std::to_string(stored.tx_power_max()) + text.substr(mark + 5);
}

} // namespace rf
