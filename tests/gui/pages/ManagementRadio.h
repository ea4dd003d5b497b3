#pragma once

// A device for the management page's tests.
#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"

#include <string>

namespace rf::test {

// A 5 GHz access point in the United States, on channel 40 paired with 36, with a WPA2-PSK key; its
// power may lie between 8 and 26.
inline ap_info_stu Radio(uint8_t workMode = 1, const std::string& mac = "02:00:00:00:00:14") {
    DeviceInfo info;
    info.set_work_mode(workMode);
    info.set_ip_mode(1);
    info.set_ip(IpTextToBytes("192.168.1.20"));
    info.set_ip_mask(IpTextToBytes("255.255.255.0"));
    info.set_ip_gateway(IpTextToBytes("192.168.1.1"));
    info.set_ap_name("Mast-1");
    info.set_rf_count(1);
    info.set_rf_type(1);
    info.set_country_code(1);
    info.set_network_mode(3);
    info.set_bandwidth(1);
    info.set_channel(40);
    info.set_expand_channel(0);
    info.set_tx_power(20);
    info.set_tx_power_min(8);
    info.set_tx_power_max(26);
    info.set_ssid("lab");
    info.set_ssid_count(1);
    SecurityBlock security;
    security.set_secure_mode(3);
    security.set_wpapsk_auth_type(2);
    security.set_wpapsk_key_value("labkey-1000");
    security.set_wpapsk_key_time(3600);
    security.set_wep_key_index(1);
    info.set_security(security);
    info.set_restart_type(34);
    info.set_restart_time(210);
    info.set_vlan_id(5);
    info.set_vlan_id_wlan(6);
    info.set_vlan_id_lan(30);
    return ap_info_stu::Make(mac, 257, DeviceStatus::Online, info);
}

} // namespace rf::test
