#include "operations/PlanDescription.h"

#include "protocol/CodeTables.h"

#include <algorithm>
#include <functional>

namespace rf {
namespace {

// One setting of the record: its name, its value as text, and whether it is a key.
struct SettingField {
    std::string name;
    std::function<std::string(const DeviceInfo&)> text;
    bool secret = false;
};

std::string Number(long long value) {
    return std::to_string(value);
}

std::string NumberWithMeaning(long long value, const std::string& meaning) {
    return Number(value) + " (" + meaning + ")";
}

void AddSecurityFields(std::vector<SettingField>& fields, const std::string& prefix,
                       SecurityBlock (DeviceInfo::*block)() const) {
    const auto of = [block](auto read) {
        return [block, read](const DeviceInfo& info) { return read((info.*block)()); };
    };
    const auto add = [&](const std::string& name, auto read, bool secret = false) {
        fields.push_back({prefix + name, of(read), secret});
    };
    add("secure_mode", [](const SecurityBlock& s) {
        return NumberWithMeaning(s.secure_mode(), SecureModeText(s.secure_mode()));
    });
    add("wpapsk_auth_type", [](const SecurityBlock& s) { return Number(s.wpapsk_auth_type()); });
    add(
        "wpapsk_key_value", [](const SecurityBlock& s) { return s.wpapsk_key_value(); }, true);
    add("wpapsk_key_time", [](const SecurityBlock& s) { return Number(s.wpapsk_key_time()); });
    add("wep_auth_type", [](const SecurityBlock& s) { return Number(s.wep_auth_type()); });
    add("wep_key_index", [](const SecurityBlock& s) { return Number(s.wep_key_index()); });
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        const std::string n = std::to_string(i);
        add("wep_key_type" + n, [i](const SecurityBlock& s) { return Number(s.wep_key_type(i)); });
        add(
            "wep_key_value" + n, [i](const SecurityBlock& s) { return s.wep_key_value(i); }, true);
    }
    add("wpa_radius_ip", [](const SecurityBlock& s) { return IpBytesToText(s.wpa_radius_ip()); });
    add("wpa_radius_port", [](const SecurityBlock& s) { return Number(s.wpa_radius_port()); });
    add("wpa_auth_type", [](const SecurityBlock& s) { return Number(s.wpa_auth_type()); });
    add(
        "wpa_key", [](const SecurityBlock& s) { return s.wpa_key(); }, true);
    add("wpa_key_time", [](const SecurityBlock& s) { return Number(s.wpa_key_time()); });
}

// The settings a user can change, in the order of the record.
std::vector<SettingField> BuildSettingFields() {
    using I = const DeviceInfo&;
    std::vector<SettingField> f{
        {"work_mode", [](I i) { return NumberWithMeaning(i.work_mode(), WorkModeText(i.work_mode())); }},
        {"ip_mode", [](I i) { return Number(i.ip_mode()); }},
        {"ip", [](I i) { return IpBytesToText(i.ip()); }},
        {"ip_mask", [](I i) { return IpBytesToText(i.ip_mask()); }},
        {"ip_gateway", [](I i) { return IpBytesToText(i.ip_gateway()); }},
        {"ip_dns1", [](I i) { return IpBytesToText(i.ip_dns1()); }},
        {"ip_dns2", [](I i) { return IpBytesToText(i.ip_dns2()); }},
        {"ap_name", [](I i) { return i.ap_name(); }},
        {"restart_en", [](I i) { return Number(i.restart_en()); }},
        {"restart_type", [](I i) { return Number(i.restart_type()); }},
        {"restart_time", [](I i) { return Number(i.restart_time()); }},
        {"country_code", [](I i) { return Number(i.country_code()); }},
        {"network_mode", [](I i) { return Number(i.network_mode()); }},
        {"bandwidth", [](I i) { return Number(i.bandwidth()); }},
        {"channel", [](I i) { return NumberWithMeaning(i.channel(), ChannelText(i.channel())); }},
        {"expand_channel", [](I i) { return Number(i.expand_channel()); }},
        {"tx_power", [](I i) { return Number(i.tx_power()); }},
        {"ssid_hide", [](I i) { return Number(i.ssid_hide()); }},
        {"ssid", [](I i) { return i.ssid(); }},
    };
    AddSecurityFields(f, "", &DeviceInfo::security);
    f.push_back({"bridge_work_mode", [](I i) { return Number(i.bridge_work_mode()); }});
    f.push_back({"bridge_mac", [](I i) { return MacBytesToText(i.bridge_mac()); }});
    f.push_back({"bridge_channel", [](I i) { return Number(i.bridge_channel()); }});
    f.push_back({"bridge_ssid", [](I i) { return i.bridge_ssid(); }});
    AddSecurityFields(f, "bridge_", &DeviceInfo::bridge_security);
    f.push_back({"vlan_en", [](I i) { return Number(i.vlan_en()); }});
    f.push_back({"vlan_id", [](I i) { return Number(i.vlan_id()); }});
    f.push_back({"vlan_id_wlan", [](I i) { return Number(i.vlan_id_wlan()); }});
    f.push_back({"vlan_id_lan", [](I i) { return Number(i.vlan_id_lan()); }});
    f.push_back({"bridge_transparent", [](I i) { return Number(i.bridge_transparent()); }});
    return f;
}

const std::vector<SettingField>& SettingFields() {
    static const std::vector<SettingField> fields = BuildSettingFields();
    return fields;
}

template <size_t N> void PutBlock(DeviceInfo& info, size_t offset, const std::array<uint8_t, N>& block) {
    std::ranges::copy(block, info.mutable_bytes().begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string ChangeLine(const SettingField& field, const std::string& old, const std::string& now) {
    std::string line = field.name + ": ";
    if (field.secret) {
        return line.append("(changed)");
    }
    return line.append(old).append(" -> ").append(now);
}

} // namespace

std::vector<std::string> DescribeSettingChanges(const DeviceInfo& before, const DeviceInfo& after) {
    std::vector<std::string> lines;
    for (const SettingField& field : SettingFields()) {
        const std::string old = field.text(before);
        const std::string now = field.text(after);
        if (old != now) {
            lines.push_back(ChangeLine(field, old, now));
        }
    }
    return lines;
}

DeviceInfo WithConfigBlock(DeviceInfo info, const ConfigChanges& changes, MessageType type) {
    if (type == MessageType::SetName && changes.name) {
        info.set_ap_name(*changes.name);
    } else if (type == MessageType::SetWireless && changes.wireless) {
        PutBlock(info, DeviceInfo::kRadioSettingsOffset, *changes.wireless);
    } else if (type == MessageType::SetRebootSchedule && changes.schedule) {
        PutBlock(info, DeviceInfo::kRebootScheduleOffset, *changes.schedule);
    } else if (type == MessageType::SetVlan && changes.vlan) {
        PutBlock(info, DeviceInfo::kVlanSettingsOffset, *changes.vlan);
    } else if (type == MessageType::SetIp && changes.ip) {
        PutBlock(info, DeviceInfo::kIpSettingsOffset, *changes.ip);
    }
    return info;
}

const char* RequestName(MessageType type) {
    switch (type) {
    case MessageType::SetIp:
        return "SetIp";
    case MessageType::SetWireless:
        return "SetWireless";
    case MessageType::SetRebootSchedule:
        return "SetRebootSchedule";
    case MessageType::SetBridge:
        return "SetBridge";
    case MessageType::SetName:
        return "SetName";
    case MessageType::Reboot:
        return "Reboot";
    case MessageType::Restore:
        return "Restore";
    case MessageType::Upgrade:
        return "Upgrade";
    case MessageType::SetVlan:
        return "SetVlan";
    case MessageType::SetTransparentBridge:
        return "SetTransparentBridge";
    default:
        return "request";
    }
}

} // namespace rf
