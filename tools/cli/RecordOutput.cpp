#include "RecordOutput.h"

#include "DeviceOutput.h"

#include "core/Language.h"
#include "protocol/CodeTables.h"
#include "rules/CountryTable.h"

#include <string_view>
#include <vector>

namespace rf {
namespace {

struct Field {
    std::string name;
    std::string json; // the value as JSON
    std::string text; // the value for a person
};

class Fields {
public:
    void Number(std::string name, long long value, std::string meaning = {}) {
        const std::string n = std::to_string(value);
        fields_.push_back({std::move(name), n, meaning.empty() ? n : n + " (" + meaning + ")"});
    }
    void Text(std::string name, const std::string& value) {
        fields_.push_back({std::move(name), JsonText(value), PrintableText(value)});
    }
    const std::vector<Field>& all() const { return fields_; }

private:
    std::vector<Field> fields_;
};

void AddNetwork(Fields& f, const DeviceInfo& info) {
    f.Number("ip_mode", info.ip_mode());
    f.Text("ip", IpBytesToText(info.ip()));
    f.Text("ip_mask", IpBytesToText(info.ip_mask()));
    f.Text("ip_gateway", IpBytesToText(info.ip_gateway()));
    f.Text("ip_dns1", IpBytesToText(info.ip_dns1()));
    f.Text("ip_dns2", IpBytesToText(info.ip_dns2()));
}

void AddRadio(Fields& f, const DeviceInfo& info) {
    f.Number("rf_count", info.rf_count());
    f.Number("rf_en", info.rf_en());
    f.Number("rf_type", info.rf_type(), info.rf_type() == 0 ? "2.4 GHz" : "5 GHz");
    f.Number("country_code", info.country_code(), std::string(CountryCodeText(info.country_code())));
    f.Number("network_mode", info.network_mode());
    f.Number("bandwidth", info.bandwidth());
    f.Number("channel", info.channel(), ChannelText(info.channel()));
    f.Number("expand_channel", info.expand_channel());
    f.Number("tx_power", info.tx_power());
    f.Number("tx_power_min", info.tx_power_min());
    f.Number("tx_power_max", info.tx_power_max());
    f.Number("ssid_rf_type", info.ssid_rf_type());
    f.Number("ssid_id", info.ssid_id());
    f.Number("ssid_hide", info.ssid_hide());
    f.Text("ssid_mac", MacBytesToText(info.ssid_mac()));
    f.Text("ssid", info.ssid());
    f.Number("ssid_count", info.ssid_count());
}

void AddSecurity(Fields& f, const SecurityBlock& s) {
    f.Number("secure_mode", s.secure_mode(), SecureModeText(s.secure_mode()));
    f.Number("wpapsk_auth_type", s.wpapsk_auth_type());
    f.Number("wpapsk_key_value_length", static_cast<long long>(s.wpapsk_key_value().size()));
    f.Number("wpapsk_key_time", s.wpapsk_key_time());
    f.Number("wep_auth_type", s.wep_auth_type());
    f.Number("wep_key_index", s.wep_key_index());
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        const std::string n = std::to_string(i);
        f.Number("wep_key_type" + n, s.wep_key_type(i), s.wep_key_type(i) == 1 ? "Hex" : "ASCII");
        f.Number("wep_key_value" + n + "_length", static_cast<long long>(s.wep_key_value(i).size()));
    }
    f.Text("wpa_radius_ip", IpBytesToText(s.wpa_radius_ip()));
    f.Number("wpa_radius_port", s.wpa_radius_port());
    f.Number("wpa_auth_type", s.wpa_auth_type());
    f.Number("wpa_key_length", static_cast<long long>(s.wpa_key().size()));
    f.Number("wpa_key_time", s.wpa_key_time());
}

void AddBridgeAndVlan(Fields& f, const DeviceInfo& info) {
    f.Number("bridge_work_mode", info.bridge_work_mode());
    f.Text("bridge_mac", MacBytesToText(info.bridge_mac()));
    f.Number("bridge_channel", info.bridge_channel());
    f.Text("bridge_ssid", info.bridge_ssid());
    f.Number("vlan_en", info.vlan_en());
    f.Number("vlan_id", info.vlan_id());
    f.Number("vlan_id_wlan", info.vlan_id_wlan());
    f.Number("vlan_id_lan", info.vlan_id_lan());
    f.Number("bridge_transparent", info.bridge_transparent());
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
    f.Number("restart_en", info.restart_en());
    f.Number("restart_type", info.restart_type());
    f.Number("restart_time", info.restart_time());
    AddRadio(f, info);
    AddSecurity(f, info.security());
    AddBridgeAndVlan(f, info);
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

std::string RecordText(const ap_info_stu& device) {
    const Fields fields = AllFields(device);
    std::string out;
    for (const Field& field : fields.all()) {
        out += field.name + ": " + field.text + "\n";
    }
    return out;
}

} // namespace rf
