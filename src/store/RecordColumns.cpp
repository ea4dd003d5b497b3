#include "store/RecordColumns.h"

#include "protocol/CodeTables.h"
#include "store/StoreSchema.h"

#include <string>

namespace rf {

namespace {

template <typename T> T Narrow(std::int64_t value) {
    return static_cast<T>(value);
}

void BindSecurityColumns(CSqliteStatement& s, const SecurityBlock& security) {
    s.BindInt(DeviceColumn("secure_mode"), security.secure_mode());
    s.BindText(DeviceColumn("secure_mode_str"), SecureModeText(security.secure_mode()));
    s.BindInt(DeviceColumn("wpapsk_auth_type"), security.wpapsk_auth_type());
    s.BindText(DeviceColumn("wpapsk_key_value"), security.wpapsk_key_value());
    s.BindInt(DeviceColumn("wpapsk_key_time"), security.wpapsk_key_time());
    s.BindInt(DeviceColumn("wep_auth_type"), security.wep_auth_type());
    s.BindInt(DeviceColumn("wep_key_index"), security.wep_key_index());
    constexpr int kWepValue[] = {DeviceColumn("wep_key_value0"), DeviceColumn("wep_key_value1"),
                                 DeviceColumn("wep_key_value2"), DeviceColumn("wep_key_value3")};
    constexpr int kWepType[] = {DeviceColumn("wep_key_type0"), DeviceColumn("wep_key_type1"),
                                DeviceColumn("wep_key_type2"), DeviceColumn("wep_key_type3")};
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        s.BindText(kWepValue[i], security.wep_key_value(i));
        s.BindInt(kWepType[i], security.wep_key_type(i));
    }
    s.BindInt(DeviceColumn("wpa_auth_type"), security.wpa_auth_type());
    s.BindText(DeviceColumn("wpa_radius_ip"), IpBytesToText(security.wpa_radius_ip()));
    s.BindInt(DeviceColumn("wpa_radius_port"), security.wpa_radius_port());
    s.BindText(DeviceColumn("wpa_key"), security.wpa_key());
    s.BindInt(DeviceColumn("wpa_key_time"), security.wpa_key_time());
}

SecurityBlock SecurityFromRow(const CSqliteStatement& r) {
    SecurityBlock security;
    security.set_secure_mode(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("secure_mode"))));
    security.set_wpapsk_auth_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("wpapsk_auth_type"))));
    security.set_wpapsk_key_value(r.ColumnText(DeviceColumn("wpapsk_key_value")));
    security.set_wpapsk_key_time(Narrow<uint32_t>(r.ColumnInt(DeviceColumn("wpapsk_key_time"))));
    security.set_wep_auth_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("wep_auth_type"))));
    security.set_wep_key_index(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("wep_key_index"))));
    constexpr int kWepValue[] = {DeviceColumn("wep_key_value0"), DeviceColumn("wep_key_value1"),
                                 DeviceColumn("wep_key_value2"), DeviceColumn("wep_key_value3")};
    constexpr int kWepType[] = {DeviceColumn("wep_key_type0"), DeviceColumn("wep_key_type1"),
                                DeviceColumn("wep_key_type2"), DeviceColumn("wep_key_type3")};
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        security.set_wep_key_value(i, r.ColumnText(kWepValue[i]));
        security.set_wep_key_type(i, Narrow<uint8_t>(r.ColumnInt(kWepType[i])));
    }
    security.set_wpa_auth_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("wpa_auth_type"))));
    security.set_wpa_radius_ip(IpTextToBytes(r.ColumnText(DeviceColumn("wpa_radius_ip"))));
    security.set_wpa_radius_port(Narrow<uint16_t>(r.ColumnInt(DeviceColumn("wpa_radius_port"))));
    security.set_wpa_key(r.ColumnText(DeviceColumn("wpa_key")));
    security.set_wpa_key_time(Narrow<uint32_t>(r.ColumnInt(DeviceColumn("wpa_key_time"))));
    return security;
}

void BindAddressColumns(CSqliteStatement& s, const DeviceInfo& info) {
    s.BindInt(DeviceColumn("ip_mode"), info.ip_mode());
    s.BindDouble(DeviceColumn("ip_num"), IpNumber(info.ip()));
    s.BindText(DeviceColumn("ip"), IpBytesToText(info.ip()));
    s.BindText(DeviceColumn("ip_mask"), IpBytesToText(info.ip_mask()));
    s.BindText(DeviceColumn("ip_gateway"), IpBytesToText(info.ip_gateway()));
    s.BindText(DeviceColumn("ip_dns1"), IpBytesToText(info.ip_dns1()));
    s.BindText(DeviceColumn("ip_dns2"), IpBytesToText(info.ip_dns2()));
}

void AddressFromRow(const CSqliteStatement& r, DeviceInfo& info) {
    info.set_ip_mode(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("ip_mode"))));
    info.set_ip(IpTextToBytes(r.ColumnText(DeviceColumn("ip"))));
    info.set_ip_mask(IpTextToBytes(r.ColumnText(DeviceColumn("ip_mask"))));
    info.set_ip_gateway(IpTextToBytes(r.ColumnText(DeviceColumn("ip_gateway"))));
    info.set_ip_dns1(IpTextToBytes(r.ColumnText(DeviceColumn("ip_dns1"))));
    info.set_ip_dns2(IpTextToBytes(r.ColumnText(DeviceColumn("ip_dns2"))));
}

void BindRadioColumns(CSqliteStatement& s, const DeviceInfo& info) {
    s.BindInt(DeviceColumn("rf_count"), info.rf_count());
    s.BindInt(DeviceColumn("rf_en"), info.rf_en());
    s.BindInt(DeviceColumn("rf_type"), info.rf_type());
    s.BindInt(DeviceColumn("country_code"), info.country_code());
    s.BindInt(DeviceColumn("network_mode"), info.network_mode());
    s.BindInt(DeviceColumn("bandwidth"), info.bandwidth());
    s.BindInt(DeviceColumn("channel"), info.channel());
    s.BindInt(DeviceColumn("expand_channel"), info.expand_channel());
    s.BindInt(DeviceColumn("tx_power"), info.tx_power());
    s.BindInt(DeviceColumn("tx_power_min"), info.tx_power_min());
    s.BindInt(DeviceColumn("tx_power_max"), info.tx_power_max());
    s.BindInt(DeviceColumn("ssid_count"), info.ssid_count());
    s.BindInt(DeviceColumn("ssid_rf_type"), info.ssid_rf_type());
    s.BindInt(DeviceColumn("ssid_id"), info.ssid_id());
    s.BindInt(DeviceColumn("ssid_hide"), info.ssid_hide());
    s.BindText(DeviceColumn("ssid_mac"), MacBytesToText(info.ssid_mac()));
    s.BindText(DeviceColumn("ssid"), info.ssid());
}

void RadioFromRow(const CSqliteStatement& r, DeviceInfo& info) {
    info.set_rf_count(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("rf_count"))));
    info.set_rf_en(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("rf_en"))));
    info.set_rf_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("rf_type"))));
    info.set_country_code(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("country_code"))));
    info.set_network_mode(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("network_mode"))));
    info.set_bandwidth(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("bandwidth"))));
    info.set_channel(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("channel"))));
    info.set_expand_channel(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("expand_channel"))));
    info.set_tx_power(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("tx_power"))));
    info.set_tx_power_min(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("tx_power_min"))));
    info.set_tx_power_max(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("tx_power_max"))));
    info.set_ssid_count(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("ssid_count"))));
    info.set_ssid_rf_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("ssid_rf_type"))));
    info.set_ssid_id(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("ssid_id"))));
    info.set_ssid_hide(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("ssid_hide"))));
    info.set_ssid_mac(MacTextToBytes(r.ColumnText(DeviceColumn("ssid_mac"))));
    info.set_ssid(r.ColumnText(DeviceColumn("ssid")));
}

void BindBridgeAndVlanColumns(CSqliteStatement& s, const DeviceInfo& info, uint16_t model) {
    s.BindInt(DeviceColumn("bridge_work_mode"), info.bridge_work_mode());
    s.BindText(DeviceColumn("bridge_mac"), MacBytesToText(info.bridge_mac()));
    s.BindInt(DeviceColumn("bridge_channel"), info.bridge_channel());
    s.BindText(DeviceColumn("bridge_ssid"), info.bridge_ssid());
    s.BindInt(DeviceColumn("vlan_en"), info.vlan_en());
    s.BindInt(DeviceColumn("vlan_id"), info.vlan_id());
    s.BindInt(DeviceColumn("vlan_id_wlan"), info.vlan_id_wlan());
    s.BindInt(DeviceColumn("vlan_id_lan"), info.vlan_id_lan());
    s.BindInt(DeviceColumn("bridge_transparent"), info.bridge_transparent());
    s.BindText(DeviceColumn("bridge_transparent_str"),
               TransparentBridgeText(model, info.work_mode(), info.bridge_transparent()));
}

void VlanFromRow(const CSqliteStatement& r, DeviceInfo& info) {
    info.set_vlan_en(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("vlan_en"))));
    info.set_vlan_id(Narrow<uint16_t>(r.ColumnInt(DeviceColumn("vlan_id"))));
    info.set_vlan_id_wlan(Narrow<uint16_t>(r.ColumnInt(DeviceColumn("vlan_id_wlan"))));
    info.set_vlan_id_lan(Narrow<uint16_t>(r.ColumnInt(DeviceColumn("vlan_id_lan"))));
    info.set_bridge_transparent(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("bridge_transparent"))));
    // The bridge link as stored, so that a bridge request can be checked against the device's details.
    info.set_bridge_work_mode(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("bridge_work_mode"))));
    info.set_bridge_mac(MacTextToBytes(r.ColumnText(DeviceColumn("bridge_mac"))));
    info.set_bridge_channel(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("bridge_channel"))));
    info.set_bridge_ssid(r.ColumnText(DeviceColumn("bridge_ssid")));
}

} // namespace

double IpNumber(const Ipv4Bytes& ip) {
    const uint32_t number = static_cast<uint32_t>(ip[0]) | (static_cast<uint32_t>(ip[1]) << 8) |
                            (static_cast<uint32_t>(ip[2]) << 16) | (static_cast<uint32_t>(ip[3]) << 24);
    return static_cast<double>(number);
}

void BindDeviceColumns(CSqliteStatement& s, const ap_info_stu& device) {
    const DeviceInfo info = device.device_info();
    s.BindText(DeviceColumn("mac"), device.mac());
    s.BindInt(DeviceColumn("ap_type"), device.ap_type());
    s.BindText(DeviceColumn("ap_type_str"), ModelText(device.ap_type()));
    s.BindInt(DeviceColumn("ap_status"), ToCode(DeviceStatus::Online));
    s.BindText(DeviceColumn("ap_status_str"), StatusText(DeviceStatus::Online));
    s.BindInt(DeviceColumn("work_mode"), info.work_mode());
    s.BindText(DeviceColumn("work_mode_str"), WorkModeText(info.work_mode()));
    s.BindInt(DeviceColumn("mode_btn_status"), info.mode_btn_status());
    s.BindInt(DeviceColumn("up_time"), info.up_time());
    s.BindText(DeviceColumn("up_time_str"), UptimeText(info.up_time()));
    BindAddressColumns(s, info);
    s.BindText(DeviceColumn("ap_name"), info.ap_name());
    s.BindText(DeviceColumn("version"), info.version());
    s.BindInt(DeviceColumn("restart_en"), info.restart_en());
    s.BindInt(DeviceColumn("restart_type"), info.restart_type());
    s.BindInt(DeviceColumn("restart_time"), info.restart_time());
    BindRadioColumns(s, info);
    BindSecurityColumns(s, info.security());
    BindBridgeAndVlanColumns(s, info, device.ap_type());
}

ap_info_stu DeviceFromRow(const CSqliteStatement& r) {
    DeviceInfo info;
    info.set_work_mode(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("work_mode"))));
    info.set_mode_btn_status(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("mode_btn_status"))));
    info.set_up_time(Narrow<uint32_t>(r.ColumnInt(DeviceColumn("up_time"))));
    AddressFromRow(r, info);
    info.set_ap_name(r.ColumnText(DeviceColumn("ap_name")));
    info.set_version(r.ColumnText(DeviceColumn("version")));
    info.set_restart_en(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("restart_en"))));
    info.set_restart_type(Narrow<uint8_t>(r.ColumnInt(DeviceColumn("restart_type"))));
    info.set_restart_time(Narrow<uint16_t>(r.ColumnInt(DeviceColumn("restart_time"))));
    RadioFromRow(r, info);
    info.set_security(SecurityFromRow(r));
    VlanFromRow(r, info);
    return ApInfo::Make(r.ColumnText(DeviceColumn("mac")),
                        Narrow<uint16_t>(r.ColumnInt(DeviceColumn("ap_type"))),
                        Narrow<int32_t>(r.ColumnInt(DeviceColumn("ap_status"))), info);
}

void BindScanColumns(CSqliteStatement& s, const ScanReply& reply, const ScanEntry& entry) {
    s.BindInt(ScanColumn("packet_count"), reply.packet_count);
    s.BindInt(ScanColumn("packet_id"), reply.packet_id);
    s.BindInt(ScanColumn("icount"), reply.icount);
    s.BindText(ScanColumn("mac"), MacBytesToText(entry.mac()));
    s.BindText(ScanColumn("ssid"), entry.ssid());
    s.BindInt(ScanColumn("signal"), entry.signal());
    s.BindInt(ScanColumn("channel"), entry.channel());
    s.BindInt(ScanColumn("secure_mode"), entry.secure_mode());
    s.BindInt(ScanColumn("exchannel"), entry.exchannel());
    s.BindInt(ScanColumn("bandwidth"), entry.bandwidth());
}

ScanEntry ScannedApFromRow(const CSqliteStatement& r) {
    ScanEntry entry;
    entry.set_mac(MacTextToBytes(r.ColumnText(ScanColumn("mac"))));
    entry.set_ssid(r.ColumnText(ScanColumn("ssid")));
    entry.set_signal(Narrow<int8_t>(r.ColumnInt(ScanColumn("signal"))));
    entry.set_channel(Narrow<uint8_t>(r.ColumnInt(ScanColumn("channel"))));
    entry.set_secure_mode(Narrow<uint8_t>(r.ColumnInt(ScanColumn("secure_mode"))));
    entry.set_exchannel(Narrow<uint8_t>(r.ColumnInt(ScanColumn("exchannel"))));
    entry.set_bandwidth(Narrow<uint8_t>(r.ColumnInt(ScanColumn("bandwidth"))));
    return entry;
}

} // namespace rf
