#include "StoreFixture.h"

namespace rf::test {
namespace {

// Every field the device table holds, each with a value of its own.
ap_info_stu FullDevice(const std::string& mac, int seed) {
    const auto v = [seed](int k) { return static_cast<uint8_t>(seed * 31 + k); };
    DeviceInfo info;
    info.set_work_mode(2);
    info.set_mode_btn_status(v(1));
    info.set_up_time(90061u + static_cast<uint32_t>(seed));
    info.set_ip_mode(v(2));
    info.set_ip({192, 168, v(3), v(4)});
    info.set_ip_mask({255, 255, 255, 0});
    info.set_ip_gateway({192, 168, v(3), 1});
    info.set_ip_dns1({8, 8, 8, v(5)});
    info.set_ip_dns2({8, 8, 4, v(6)});
    info.set_ap_name("name " + std::to_string(seed));
    info.set_version("fw-" + std::to_string(seed));
    info.set_restart_en(1);
    info.set_restart_type(v(7));
    info.set_restart_time(static_cast<uint16_t>(1370 + seed));
    info.set_rf_count(1);
    info.set_rf_en(1);
    info.set_rf_type(v(8));
    info.set_country_code(v(9));
    info.set_network_mode(v(10));
    info.set_bandwidth(v(11));
    info.set_channel(v(12));
    info.set_expand_channel(v(13));
    info.set_tx_power(v(14));
    info.set_tx_power_min(v(15));
    info.set_tx_power_max(v(16));
    info.set_ssid_rf_type(v(17));
    info.set_ssid_id(v(18));
    info.set_ssid_hide(v(19));
    info.set_ssid_mac({0x0a, 0x0b, 0x0c, 0x0d, 0x0e, v(20)});
    info.set_ssid("ssid-" + std::to_string(seed));
    SecurityBlock security;
    security.set_secure_mode(4);
    security.set_wpapsk_auth_type(v(21));
    security.set_wpapsk_key_value(std::string(64, static_cast<char>('a' + seed % 20)));
    security.set_wpapsk_key_time(3600u + static_cast<uint32_t>(seed));
    security.set_wep_auth_type(v(22));
    security.set_wep_key_index(v(23));
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        security.set_wep_key_type(i, v(24 + static_cast<int>(i)));
        security.set_wep_key_value(
            i, std::string(26, static_cast<char>('0' + i + static_cast<size_t>(seed % 5))));
    }
    security.set_wpa_auth_type(v(28));
    security.set_wpa_radius_ip({10, 1, 2, v(29)});
    security.set_wpa_radius_port(static_cast<uint16_t>(1812 + seed));
    security.set_wpa_key("radius'key" + std::to_string(seed));
    security.set_wpa_key_time(7200u + static_cast<uint32_t>(seed));
    info.set_security(security);
    info.set_ssid_count(1);
    info.set_vlan_en(1);
    info.set_vlan_id(static_cast<uint16_t>(100 + seed));
    info.set_vlan_id_wlan(static_cast<uint16_t>(200 + seed));
    info.set_vlan_id_lan(static_cast<uint16_t>(300 + seed));
    info.set_bridge_transparent(1);
    return ApInfo::Make(mac, static_cast<uint16_t>(257 + seed % 7), 3, info);
}

TEST_F(StoreTest, SaveDeviceInfoAddsAnOnlineDeviceThenRewritesEveryColumn) {
    const std::string mac = "00:1a:2b:3c:4d:5e";
    auto first = FullDevice(mac, 1);
    ASSERT_TRUE(Store().SaveDeviceInfo(first));

    ap_info_stu read;
    ASSERT_TRUE(Store().GetDevice(mac, read));
    auto expected = first;
    expected.set_ap_status(ToCode(DeviceStatus::Online));
    EXPECT_TRUE(read == expected);
    EXPECT_EQ(Raw("SELECT ap_status_str FROM ap_info"), "Online");
    EXPECT_EQ(Raw("SELECT work_mode_str FROM ap_info"), "Station");
    EXPECT_EQ(Raw("SELECT up_time_str FROM ap_info"), "1 1:1:2");
    EXPECT_EQ(Raw("SELECT secure_mode_str FROM ap_info"), "WPAWPA2_PSK");
    EXPECT_EQ(Raw("SELECT ap_type_str FROM ap_info"), "Hirta");
    EXPECT_EQ(Raw("SELECT ssid_mac FROM ap_info"), MacBytesToText(first.device_info().ssid_mac()));
    const std::string firstId = Raw("SELECT ID FROM ap_info");

    ASSERT_TRUE(Store().SetDeviceStatus(mac, DeviceStatus::Restarting));
    auto second = FullDevice(mac, 2);
    ASSERT_TRUE(Store().SaveDeviceInfo(second));
    ASSERT_TRUE(Store().GetDevice(mac, read));
    expected = second;
    expected.set_ap_status(ToCode(DeviceStatus::Online));
    EXPECT_TRUE(read == expected);
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_info"), "1");
    EXPECT_EQ(Raw("SELECT ID FROM ap_info"), firstId);
    EXPECT_EQ(Raw("SELECT ap_status_str FROM ap_info"), "Online");
    EXPECT_EQ(Raw("SELECT ap_type_str FROM ap_info"), "Hevan");
    EXPECT_EQ(Raw("SELECT up_time_str FROM ap_info"), "1 1:1:3");
}

// The bridge link is read back too: a bridge request is judged by what the device's details say of it.
TEST_F(StoreTest, BridgeColumnsAreStoredAndReadBack) {
    auto device = FullDevice("00:1a:2b:3c:4d:5e", 1);
    DeviceInfo info = device.device_info();
    info.set_bridge_work_mode(2);
    info.set_bridge_mac({1, 2, 3, 4, 5, 6});
    info.set_bridge_channel(44);
    info.set_bridge_ssid("uplink");
    device.set_device_info(info);
    ASSERT_TRUE(Store().SaveDeviceInfo(device));
    EXPECT_EQ(Raw("SELECT bridge_mac FROM ap_info"), "01:02:03:04:05:06");
    EXPECT_EQ(Raw("SELECT bridge_ssid FROM ap_info"), "uplink");
    EXPECT_EQ(Raw("SELECT bridge_channel FROM ap_info"), "44");

    ap_info_stu read;
    ASSERT_TRUE(Store().GetDevice(device.mac(), read));
    EXPECT_EQ(read.device_info().bridge_work_mode(), 2);
    EXPECT_EQ(read.device_info().bridge_ssid(), "uplink");
    EXPECT_EQ(read.device_info().bridge_mac(), (MacAddress{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(read.device_info().bridge_channel(), 44);
    EXPECT_EQ(read.device_info().ssid(), info.ssid());
}

TEST_F(StoreTest, EmptyTextsAreStoredAsNull) {
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1", "")));
    EXPECT_EQ(Raw("SELECT typeof(ap_name) FROM ap_info"), "null");
    EXPECT_EQ(Raw("SELECT typeof(wpa_key) FROM ap_info"), "null");
    EXPECT_EQ(Raw("SELECT typeof(ip) FROM ap_info"), "text");
}

TEST_F(StoreTest, GetDeviceClearsItsOutputAndTakesAnyDeviceForAnEmptyMac) {
    ap_info_stu device = FullDevice("00:00:00:00:00:01", 1);
    EXPECT_TRUE(Store().GetDevice("00:00:00:00:00:01", device));
    EXPECT_TRUE(device == ap_info_stu{});

    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(7), "10.0.0.7")));
    EXPECT_TRUE(Store().GetDevice("", device));
    EXPECT_EQ(device.mac(), MacFor(7));
    EXPECT_TRUE(Store().GetDevice("02:00:00:00:00:08", device));
    EXPECT_EQ(device.mac(), "");
}

TEST_F(StoreTest, UpdateUptimeChangesOnlyAKnownDevice) {
    EXPECT_FALSE(Store().UpdateUptime("10.0.0.9", MacFor(9), 59));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_info"), "0");

    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1")));
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(2), "10.0.0.2")));
    EXPECT_FALSE(Store().UpdateUptime("10.0.0.9", MacFor(9), 59));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_info"), "2");

    EXPECT_TRUE(Store().UpdateUptime("10.0.0.200", MacFor(1), 86400));
    ap_info_stu device;
    ASSERT_TRUE(Store().GetDevice(MacFor(1), device));
    EXPECT_EQ(device.device_info().up_time(), 86400u);
    EXPECT_EQ(IpBytesToText(device.device_info().ip()), "10.0.0.200");
    EXPECT_EQ(Raw("SELECT up_time_str FROM ap_info WHERE mac='" + MacFor(1) + "'"), "1 0:0:0");
    // The new address decides where the device sorts.
    const auto byIp = PageMacs(SortKey::IpAddress, "", true, 10, 1);
    EXPECT_EQ(byIp, (std::vector<std::string>{MacFor(2), MacFor(1)}));
    ASSERT_TRUE(Store().GetDevice(MacFor(2), device));
    EXPECT_EQ(device.device_info().up_time(), 100u);
}

TEST_F(StoreTest, StatusesMoveThroughTheUpgradeSteps) {
    const std::string mac = MacFor(1);
    EXPECT_EQ(Store().GetDeviceStatus(mac), DeviceStatus::Outline);
    EXPECT_FALSE(Store().SetDeviceStatus(mac, DeviceStatus::Restarting));
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(mac, "10.0.0.1")));
    EXPECT_EQ(Store().GetDeviceStatus(mac), DeviceStatus::Online);

    EXPECT_FALSE(Store().IsUpgradeWaiting(mac));
    EXPECT_FALSE(Store().MarkUpgrading(mac));
    EXPECT_TRUE(Store().SetDeviceStatus(mac, DeviceStatus::UpgradeWait));
    EXPECT_EQ(Raw("SELECT ap_status_str FROM ap_info"), "Upgrade wait");
    EXPECT_TRUE(Store().IsUpgradeWaiting(mac));
    EXPECT_TRUE(Store().MarkUpgrading(mac));
    EXPECT_EQ(Store().GetDeviceStatus(mac), DeviceStatus::Upgrading);
    EXPECT_EQ(Raw("SELECT ap_status_str FROM ap_info"), "Upgrading");
    EXPECT_FALSE(Store().IsUpgradeWaiting(mac));
    EXPECT_FALSE(Store().MarkUpgrading(mac));

    EXPECT_FALSE(Store().ClearFailedUpgrade(mac));
    EXPECT_TRUE(Store().SetDeviceStatus(mac, DeviceStatus::UpgradeFail));
    EXPECT_TRUE(Store().ClearFailedUpgrade(mac));
    EXPECT_EQ(Store().GetDeviceStatus(mac), DeviceStatus::Online);
    EXPECT_EQ(Raw("SELECT ap_status_str FROM ap_info"), "Online");

    // A code without a text leaves the text column empty.
    EXPECT_TRUE(Store().SetDeviceStatus(mac, DeviceStatus::Announced));
    EXPECT_EQ(Raw("SELECT typeof(ap_status_str) FROM ap_info"), "null");
}

TEST_F(StoreTest, ABridgedStationIsFoundByTheAccessPointsWirelessMac) {
    auto ap = MakeDevice(MacFor(1), "10.0.0.1");
    DeviceInfo apInfo = ap.device_info();
    apInfo.set_ssid_mac({0x0a, 0, 0, 0, 0, 1});
    ap.set_device_info(apInfo);
    auto lonelyAp = MakeDevice(MacFor(2), "10.0.0.2");
    DeviceInfo lonelyInfo = lonelyAp.device_info();
    lonelyInfo.set_ssid_mac({0x0a, 0, 0, 0, 0, 2});
    lonelyAp.set_device_info(lonelyInfo);
    ASSERT_TRUE(Store().SaveDeviceInfo(ap));
    ASSERT_TRUE(Store().SaveDeviceInfo(lonelyAp));

    // An access point that names the lonely one as bridge partner is no station.
    auto notStation = MakeDevice(MacFor(3), "10.0.0.3");
    DeviceInfo notInfo = notStation.device_info();
    notInfo.set_bridge_mac(lonelyInfo.ssid_mac());
    notStation.set_device_info(notInfo);
    ASSERT_TRUE(Store().SaveDeviceInfo(notStation));
    EXPECT_FALSE(Store().HasBridgedStation(MacFor(2)));
    EXPECT_FALSE(Store().HasBridgedStation(MacFor(1)));

    auto station = MakeDevice(MacFor(4), "10.0.0.4");
    DeviceInfo stationInfo = station.device_info();
    stationInfo.set_work_mode(2);
    stationInfo.set_bridge_mac(apInfo.ssid_mac());
    station.set_device_info(stationInfo);
    ASSERT_TRUE(Store().SaveDeviceInfo(station));
    EXPECT_TRUE(Store().HasBridgedStation(MacFor(1)));
    EXPECT_FALSE(Store().HasBridgedStation(MacFor(2)));
    EXPECT_FALSE(Store().HasBridgedStation(MacFor(9)));

    EXPECT_TRUE(Store().DeleteDevice(MacFor(4)));
    EXPECT_FALSE(Store().HasBridgedStation(MacFor(1)));
}

TEST_F(StoreTest, ListsAppendInRowOrderAndDeleteRemovesOneDevice) {
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(i), "10.0.0." + std::to_string(10 - i))));
    }
    std::vector<std::string> ips{"earlier"};
    EXPECT_TRUE(Store().ListDeviceIps(ips));
    EXPECT_EQ(ips, (std::vector<std::string>{"earlier", "10.0.0.9", "10.0.0.8", "10.0.0.7"}));

    EXPECT_TRUE(Store().DeleteDevice(MacFor(2)));
    EXPECT_TRUE(Store().DeleteDevice(MacFor(2)));
    std::vector<std::string> macs;
    EXPECT_TRUE(Store().ListDeviceMacs(macs));
    EXPECT_EQ(macs, (std::vector<std::string>{MacFor(1), MacFor(3)}));
}

} // namespace
} // namespace rf::test
