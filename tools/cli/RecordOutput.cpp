#include "RecordOutput.h"

#include "DeviceOutput.h"

#include "core/Language.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceFieldNames.h"
#include "rules/CountryTable.h"
#include "rules/RebootScheduleForm.h"
#include "rules/SecurityForm.h"
#include "rules/WirelessLists.h"

#include <array>
#include <cstdio>
#include <initializer_list>

#include <string_view>
#include <vector>

namespace rf {
namespace {

struct Field {
    std::string name;
    std::string json;    // the value as JSON
    std::string raw;     // the code, with its meaning beside it for the fields that always had one
    std::string decoded; // the value for a person
};

class Fields {
public:
    // A number with its meaning, which raw shows beside it.
    void Number(std::string name, long long value, const std::string& meaning = {}) {
        Add(std::move(name), value, meaning.empty() ? "" : " (" + meaning + ")", meaning);
    }
    // A code by its meaning, raw as the number alone (or with the raw meaning beside it).
    void Code(std::string name, long long value, const std::string& meaning,
              const std::string& rawMeaning = {}) {
        Add(std::move(name), value, rawMeaning.empty() ? "" : " (" + rawMeaning + ")", meaning);
    }
    void Text(std::string name, const std::string& value) {
        const std::string printable = PrintableText(value);
        fields_.push_back({std::move(name), JsonText(value), printable, printable});
    }
    const std::vector<Field>& all() const { return fields_; }

private:
    // Without a meaning (a code outside its table) the number stands for itself.
    void Add(std::string name, long long value, const std::string& rawSuffix, const std::string& meaning) {
        const std::string n = std::to_string(value);
        fields_.push_back(
            {std::move(name), n, n + PrintableText(rawSuffix), meaning.empty() ? n : PrintableText(meaning)});
    }
    std::vector<Field> fields_;
};

std::string OnOff(unsigned value) {
    return value == 0 ? "off" : "on";
}

// The text of a drop-down entry whose value is code; empty when the list has none.
std::string ChoiceText(const ChoiceList& list, int code) {
    const int index = list.IndexOf(code);
    if (index < 0) {
        return {};
    }
    const ChoiceItem& item = list.items[static_cast<size_t>(index)];
    return item.translate ? Translate(item.text) : item.text;
}

// The names of a restart_type's day bits, Monday first.
std::string DaysText(unsigned bits) {
    static constexpr std::array<std::string_view, kDayCount> kDays{
        "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    if ((bits & kEveryDayBits) == kEveryDayBits) {
        return "Everyday";
    }
    std::string out;
    for (size_t day = 0; day < kDayCount; ++day) {
        if ((bits & DayBit(day)) != 0) {
            out += (out.empty() ? "" : ", ") + std::string(kDays[day]);
        }
    }
    return out.empty() ? "no day" : out;
}

std::string MinutesText(unsigned minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u", minutes / 60, minutes % 60);
    return text;
}

std::string FromList(std::initializer_list<const char*> names, unsigned code) {
    return code < names.size() ? std::string(names.begin()[code]) : std::string();
}

void AddNetwork(Fields& f, const DeviceInfo& info) {
    f.Number("ip_mode", info.ip_mode());
    f.Text("ip", IpBytesToText(info.ip()));
    f.Text("ip_mask", IpBytesToText(info.ip_mask()));
    f.Text("ip_gateway", IpBytesToText(info.ip_gateway()));
    f.Text("ip_dns1", IpBytesToText(info.ip_dns1()));
    f.Text("ip_dns2", IpBytesToText(info.ip_dns2()));
}

void AddSchedule(Fields& f, const DeviceInfo& info) {
    f.Code("restart_en", info.restart_en(), OnOff(info.restart_en()));
    f.Code("restart_type", info.restart_type(), DaysText(info.restart_type()));
    f.Code("restart_time", info.restart_time(), MinutesText(info.restart_time()));
}

void AddRadio(Fields& f, const DeviceInfo& info) {
    const int band = info.rf_type();
    f.Number("rf_count", info.rf_count());
    f.Code("rf_en", info.rf_en(), OnOff(info.rf_en()));
    f.Number("rf_type", band, band == 0 ? "2.4 GHz" : "5 GHz");
    f.Number("country_code", info.country_code(), std::string(CountryCodeText(info.country_code())));
    f.Code("network_mode", info.network_mode(),
           ChoiceText(BuildNetworkModeList(band, info.network_mode()), info.network_mode()));
    f.Code("bandwidth", info.bandwidth(),
           ChoiceText(BuildBandwidthList(info.network_mode(), info.bandwidth(), band), info.bandwidth()));
    f.Number("channel", info.channel(), ChannelText(info.channel()));
    f.Number("expand_channel", info.expand_channel());
    f.Code(std::string(kFieldNameTxPower), info.tx_power(), std::to_string(info.tx_power()) + " dBm");
    f.Number("tx_power_min", info.tx_power_min());
    f.Number("tx_power_max", info.tx_power_max());
    f.Number("ssid_rf_type", info.ssid_rf_type());
    f.Number("ssid_id", info.ssid_id());
    f.Code("ssid_hide", info.ssid_hide(), info.ssid_hide() == 0 ? "shown" : "hidden");
    f.Text("ssid_mac", MacBytesToText(info.ssid_mac()));
    f.Text("ssid", info.ssid());
    f.Number("ssid_count", info.ssid_count());
}

void AddSecurity(Fields& f, const SecurityBlock& s) {
    f.Code(std::string(kFieldNameSecureMode), s.secure_mode(), SecurityModeItem(s.secure_mode()),
           SecureModeText(s.secure_mode()));
    f.Code("wpapsk_auth_type", s.wpapsk_auth_type(),
           FromList({"AES", "TKIP", "TKIP&AES"}, s.wpapsk_auth_type()));
    f.Number("wpapsk_key_value_length", static_cast<long long>(s.wpapsk_key_value().size()));
    f.Number("wpapsk_key_time", s.wpapsk_key_time());
    f.Code("wep_auth_type", s.wep_auth_type(), FromList({"Open", "Share"}, s.wep_auth_type()));
    f.Number("wep_key_index", s.wep_key_index());
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        const std::string n = std::to_string(i);
        f.Number("wep_key_type" + n, s.wep_key_type(i), s.wep_key_type(i) == 1 ? "Hex" : "ASCII");
        f.Number("wep_key_value" + n + "_length", static_cast<long long>(s.wep_key_value(i).size()));
    }
    f.Text("wpa_radius_ip", IpBytesToText(s.wpa_radius_ip()));
    f.Number("wpa_radius_port", s.wpa_radius_port());
    f.Code("wpa_auth_type", s.wpa_auth_type(), FromList({"AES", "TKIP", "AES/TKIP"}, s.wpa_auth_type()));
    f.Number("wpa_key_length", static_cast<long long>(s.wpa_key().size()));
    f.Number("wpa_key_time", s.wpa_key_time());
}

void AddBridgeAndVlan(Fields& f, const ap_info_stu& device, const DeviceInfo& info) {
    f.Code("bridge_work_mode", info.bridge_work_mode(), WorkModeText(info.bridge_work_mode()));
    f.Text("bridge_mac", MacBytesToText(info.bridge_mac()));
    f.Code("bridge_channel", info.bridge_channel(), ChannelText(info.bridge_channel()));
    f.Text("bridge_ssid", info.bridge_ssid());
    f.Code("vlan_en", info.vlan_en(), OnOff(info.vlan_en()));
    f.Number("vlan_id", info.vlan_id());
    f.Number("vlan_id_wlan", info.vlan_id_wlan());
    f.Number("vlan_id_lan", info.vlan_id_lan());
    const bool hasTransparentBridge = HasTransparentBridge(device.ap_type(), info.work_mode());
    f.Code(std::string(kFieldNameBridgeTransparent), info.bridge_transparent(),
           hasTransparentBridge ? OnOff(info.bridge_transparent()) : std::string(kNotApplicableText));
}

Fields AllFields(const ap_info_stu& device) {
    const DeviceInfo info = device.device_info();
    Fields f;
    f.Text("mac", device.mac());
    f.Number("model", device.ap_type(), ModelText(device.ap_type()));
    f.Number("status", device.ap_status(), StatusText(device.ap_status()));
    f.Number("work_mode", info.work_mode(), WorkModeText(info.work_mode()));
    f.Number("mode_btn_status", info.mode_btn_status());
    f.Number("up_time", info.up_time(), UptimeText(info.up_time()));
    AddNetwork(f, info);
    f.Text("ap_name", info.ap_name());
    f.Text("version", info.version());
    AddSchedule(f, info);
    AddRadio(f, info);
    AddSecurity(f, info.security());
    AddBridgeAndVlan(f, device, info);
    return f;
}

} // namespace

std::string RecordJson(const ap_info_stu& device) {
    const Fields fields = AllFields(device);
    std::string out;
    for (const Field& field : fields.all()) {
        out += (out.empty() ? "{" : ",") + JsonText(field.name) + ":" + field.json;
    }
    return out + "}";
}

std::string RecordText(const ap_info_stu& device, bool raw) {
    const Fields fields = AllFields(device);
    std::string out;
    for (const Field& field : fields.all()) {
        out += field.name + ": " + (raw ? field.raw : field.decoded) + "\n";
    }
    return out;
}

} // namespace rf
