#include "RadioJson.h"

#include "protocol/CodeTables.h"

#include <cstdio>

namespace rf {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one.
size_t Utf8Length(const std::string& text, size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t n = c >= 0xf0 && c < 0xf5 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) {
            return 0;
        }
    }
    return n;
}

void AppendEscape(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    out += buffer;
}

class Fields {
public:
    void Number(const char* name, uint64_t value) { Raw(name, std::to_string(value)); }
    void Text(const char* name, const std::string& value) { Raw(name, JsonString(value)); }
    void Raw(const char* name, const std::string& value) {
        out_ += out_.empty() ? "{" : ",";
        out_ += JsonString(name) + ":" + value;
    }
    std::string Done() { return out_ + "}"; }

private:
    std::string out_;
};

std::string Counters(const Radio& radio) {
    std::string out = "{";
    for (uint16_t type = 0; type < radio.received().size(); ++type) {
        if (radio.Received(type) != 0) {
            out += (out.size() > 1 ? "," : "") + JsonString(std::to_string(type)) + ":" +
                   std::to_string(radio.Received(type));
        }
    }
    return out + "}";
}

void AddNetwork(Fields& f, const DeviceInfo& info) {
    f.Number("ip_mode", info.ip_mode());
    f.Text("ip", IpBytesToText(info.ip()));
    f.Text("ip_mask", IpBytesToText(info.ip_mask()));
    f.Text("ip_gateway", IpBytesToText(info.ip_gateway()));
    f.Text("ip_dns1", IpBytesToText(info.ip_dns1()));
    f.Text("ip_dns2", IpBytesToText(info.ip_dns2()));
}

// The radio's whole security block, keys included: the lab checks what arrived.
void AddSecurity(Fields& f, const SecurityBlock& s) {
    f.Number("secure_mode", s.secure_mode());
    f.Number("wpapsk_auth_type", s.wpapsk_auth_type());
    f.Text("wpapsk_key_value", s.wpapsk_key_value());
    f.Number("wpapsk_key_time", s.wpapsk_key_time());
    f.Number("wep_auth_type", s.wep_auth_type());
    f.Number("wep_key_index", s.wep_key_index());
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        const std::string n = std::to_string(i);
        f.Number(("wep_key_type" + n).c_str(), s.wep_key_type(i));
        f.Text(("wep_key_value" + n).c_str(), s.wep_key_value(i));
    }
    f.Number("wpa_auth_type", s.wpa_auth_type());
    f.Text("wpa_radius_ip", IpBytesToText(s.wpa_radius_ip()));
    f.Number("wpa_radius_port", s.wpa_radius_port());
    f.Text("wpa_key", s.wpa_key());
    f.Number("wpa_key_time", s.wpa_key_time());
}

void AddWireless(Fields& f, const DeviceInfo& info) {
    f.Number("work_mode", info.work_mode());
    f.Number("mode_btn_status", info.mode_btn_status());
    f.Text("ssid", info.ssid());
    f.Text("ssid_mac", MacBytesToText(info.ssid_mac()));
    f.Number("channel", info.channel());
    f.Number("bandwidth", info.bandwidth());
    f.Number("country_code", info.country_code());
    f.Number("tx_power", info.tx_power());
    f.Number("rf_type", info.rf_type());
    f.Number("network_mode", info.network_mode());
    f.Number("expand_channel", info.expand_channel());
    f.Number("tx_power_min", info.tx_power_min());
    f.Number("tx_power_max", info.tx_power_max());
    f.Number("ssid_hide", info.ssid_hide());
    AddSecurity(f, info.security());
    f.Number("bridge_work_mode", info.bridge_work_mode());
    f.Text("bridge_mac", MacBytesToText(info.bridge_mac()));
    f.Text("bridge_ssid", info.bridge_ssid());
    f.Number("bridge_channel", info.bridge_channel());
    f.Number("bridge_secure_mode", info.bridge_security().secure_mode());
    f.Text("bridge_key", info.bridge_security().wpapsk_key_value());
    f.Number("bridge_transparent", info.bridge_transparent());
}

void AddSchedules(Fields& f, const DeviceInfo& info) {
    f.Number("restart_en", info.restart_en());
    f.Number("restart_type", info.restart_type());
    f.Number("restart_time", info.restart_time());
    f.Number("vlan_en", info.vlan_en());
    f.Number("vlan_id", info.vlan_id());
    f.Number("vlan_id_wlan", info.vlan_id_wlan());
    f.Number("vlan_id_lan", info.vlan_id_lan());
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            AppendEscape(out, c);
        } else if (c >= 0x80) {
            const size_t n = Utf8Length(text, i);
            if (n == 0) {
                AppendEscape(out, c); // a stray byte shows as the Latin-1 character of that value
            } else {
                out.append(text, i, n);
                i += n;
                continue;
            }
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

std::string RadioJson(const Radio& radio, int64_t nowMs) {
    const DeviceInfo& info = radio.info();
    Fields f;
    f.Number("index", radio.index());
    f.Text("mac", MacBytesToText(radio.mac()));
    f.Number("model", radio.model());
    f.Number("segment", static_cast<uint64_t>(radio.segment()));
    f.Text("ap_name", info.ap_name());
    f.Text("version", info.version());
    AddNetwork(f, info);
    AddWireless(f, info);
    AddSchedules(f, info);
    f.Number("up_time", radio.UpTime(nowMs));
    f.Text("state", radio.mute ? "mute" : radio.Rebooting(nowMs) ? "rebooting" : "running");
    f.Number("failing", radio.failing);
    f.Text("heartbeat_to", radio.heartbeatTarget ? IpBytesToText(*radio.heartbeatTarget) : "");
    f.Number("reboots", radio.reboots());
    f.Number("restores", radio.restores());
    f.Number("restart_started_ms", static_cast<uint64_t>(radio.restartStartedMs()));
    f.Text("upgrade_file", radio.upgradeFile());
    f.Number("upgrade_size", radio.upgradeSize());
    f.Text("upgrade_stage", UpgradeStageText(radio.upgradeStage()));
    f.Number("upgrade_runs", radio.upgradeRun());
    f.Number("upgrade_fetches", radio.upgradeFetches());
    f.Number("upgrade_received", radio.upgradeReceived());
    char checksum[17];
    std::snprintf(checksum, sizeof checksum, "%016llx",
                  static_cast<unsigned long long>(radio.upgradeChecksum()));
    f.Text("upgrade_checksum", checksum);
    f.Raw("received", Counters(radio));
    return f.Done();
}

} // namespace rf
