#include "protocol/SettingsPayloads.h"
#include "protocol/PacketHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rf {
namespace {

DeviceInfo StoredDevice() {
    DeviceInfo info;
    info.set_ip_mode(1);
    info.set_ip(Ipv4Bytes{192, 168, 0, 100});
    info.set_ip_dns2(Ipv4Bytes{9, 9, 9, 9});
    info.set_restart_en(1);
    info.set_restart_type(0x0A);
    info.set_restart_time(1370);
    info.set_rf_count(0);
    info.set_rf_en(0);
    info.set_channel(11);
    info.set_ssid_id(5);
    info.set_ssid_count(3);
    info.set_ssid("Yard");
    info.set_bridge_work_mode(2);
    info.set_bridge_mac(MacAddress{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF});
    info.set_bridge_ssid("Barn");
    SecurityBlock bridgeSecurity;
    bridgeSecurity.set_secure_mode(3);
    info.set_bridge_security(bridgeSecurity);
    info.set_vlan_en(1);
    info.set_vlan_id(100);
    info.set_ip_apply_flag(0);
    return info;
}

TEST(SettingsPayloads, SetWirelessFillsTheFieldsThePcAlwaysSends) {
    const DeviceInfo info = StoredDevice();
    const auto payload = BuildSetWirelessPayload(info);
    ASSERT_EQ(payload.size(), 328u);
    EXPECT_EQ(payload[0], 1) << "rf_count";
    EXPECT_EQ(payload[1], 1) << "rf_en";
    EXPECT_EQ(payload[326], 1) << "ssid_count";
    EXPECT_EQ(payload[23], 0) << "ssid_id";
    EXPECT_EQ(payload[6], 11) << "channel kept";
    EXPECT_EQ(std::string(payload.begin() + 31, payload.begin() + 35), "Yard");
    EXPECT_EQ(payload[63], 4) << "ssid length";
    EXPECT_EQ(info.ssid_id(), 5) << "the stored record is not changed";
}

TEST(SettingsPayloads, SetWirelessSendsTheSsidInDeviceEncoding) {
    DeviceInfo info = StoredDevice();
    const std::string tower = "\xE5\xA1\x94"; // one CJK ideograph, already UTF-8
    info.set_ssid(tower + "-1");
    const auto payload = BuildSetWirelessPayload(info);
    EXPECT_EQ(std::string(payload.begin() + 31, payload.begin() + 36), tower + "-1");
    EXPECT_EQ(payload[63], 5);
}

TEST(SettingsPayloads, SetIpAndSetVlanCarryTheApplyFlagTheBatchAsksFor) {
    const DeviceInfo info = StoredDevice();
    const auto alone = BuildSetIpPayload(info, true);
    const std::vector<uint8_t> expectedIp = {1, 192, 168, 0, 100, 0, 0, 0, 0, 0, 0,
                                             0, 0,   0,   0, 0,   0, 9, 9, 9, 9, 1};
    EXPECT_EQ(std::vector<uint8_t>(alone.begin(), alone.end()), expectedIp);
    EXPECT_EQ(BuildSetIpPayload(info, false)[21], 0);

    const auto vlan = BuildSetVlanPayload(info, true);
    const std::vector<uint8_t> expectedVlan = {1, 0, 100, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(std::vector<uint8_t>(vlan.begin(), vlan.end()), expectedVlan);
    EXPECT_EQ(BuildSetVlanPayload(info, false)[8], 0);
}

TEST(SettingsPayloads, SetBridgeIsTheBridgeBlockFollowedByTheIpBlock) {
    const auto payload = BuildSetBridgePayload(StoredDevice());
    ASSERT_EQ(payload.size(), 326u);
    EXPECT_EQ(payload[0], 2) << "bridge_work_mode";
    EXPECT_EQ(std::vector<uint8_t>(payload.begin() + 1, payload.begin() + 7),
              (std::vector<uint8_t>{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
    EXPECT_EQ(std::string(payload.begin() + 8, payload.begin() + 12), "Barn");
    EXPECT_EQ(payload[40], 4) << "bridge_ssid length";
    EXPECT_EQ(payload[42], 3) << "bridge link security mode";
    EXPECT_EQ(payload[304], 1) << "ip_mode opens the IP block";
    EXPECT_EQ(std::vector<uint8_t>(payload.begin() + 305, payload.begin() + 309),
              (std::vector<uint8_t>{192, 168, 0, 100}));
    EXPECT_EQ(payload[325], 0) << "apply_flag as the wizard filled it";
}

TEST(SettingsPayloads, SmallPayloadsAndTheirDatagrams) {
    const auto schedule = BuildSetRebootSchedulePayload(StoredDevice());
    EXPECT_EQ(std::vector<uint8_t>(schedule.begin(), schedule.end()),
              (std::vector<uint8_t>{1, 0x0A, 0x5A, 0x05}));
    EXPECT_EQ(BuildSetTransparentBridgePayload(true)[0], 1);
    EXPECT_EQ(BuildSetTransparentBridgePayload(false)[0], 0);

    std::vector<uint8_t> out(kMaxDatagram);
    const auto bridge = BuildSetBridgePayload(StoredDevice());
    ASSERT_EQ(BuildPacket(out, MessageType::SetBridge, MacAddress{1, 2, 3, 4, 5, 6}, true, bridge), 342u);
    EXPECT_EQ(out[14], 0x46);
    EXPECT_EQ(out[15], 0x01) << "length 326";
    EXPECT_EQ(out[16], 2);
}

} // namespace
} // namespace rf
