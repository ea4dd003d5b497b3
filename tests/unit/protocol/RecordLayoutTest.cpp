#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"
#include "protocol/SecurityBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rf {
namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, size_t offset, std::initializer_list<uint8_t> values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<long>(offset));
}

void PutText(Bytes& bytes, size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<long>(offset));
}

TEST(DeviceInfoLayout, AddressesAndRebootTimeFromHandWrittenBytes) {
    Bytes raw(744, 0);
    Put(raw, 9, {0xC0, 0xA8, 0x00, 0x64});
    Put(raw, 13, {0xFF, 0xFF, 0xFF, 0x00});
    Put(raw, 17, {0xC0, 0xA8, 0x00, 0x01});
    Put(raw, 21, {0x08, 0x08, 0x08, 0x08});
    Put(raw, 25, {0x01, 0x01, 0x01, 0x01});
    Put(raw, 98, {0x5A, 0x05});
    const DeviceInfo info = DeviceInfo::FromBytes(raw);
    EXPECT_EQ(IpBytesToText(info.ip()), "192.168.0.100");
    EXPECT_EQ(info.ip_num(), 0x6400A8C0u) << "little-endian bytes C0 A8 00 64";
    EXPECT_EQ(IpBytesToText(info.ip_mask()), "255.255.255.0");
    EXPECT_EQ(IpBytesToText(info.ip_gateway()), "192.168.0.1");
    EXPECT_EQ(IpBytesToText(info.ip_dns1()), "8.8.8.8");
    EXPECT_EQ(IpBytesToText(info.ip_dns2()), "1.1.1.1");
    EXPECT_EQ(info.restart_time(), 1370) << "22:50";
}

TEST(DeviceInfoLayout, EveryFieldReadsFromItsOffset) {
    Bytes raw(744, 0);
    Put(raw, 0, {7, 1});
    Put(raw, 4, {0x8D, 0x0E, 0x01, 0x00}); // 69261
    raw[8] = 1;
    raw[29] = 1;
    PutText(raw, 63, "3.1.4");
    raw[95] = 5;
    Put(raw, 96, {1, 0x82});
    Put(raw, 100, {1, 1, 2, 86, 9, 2, 149, 1, 23, 10, 27});
    Put(raw, 122, {3, 0, 1, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    PutText(raw, 131, "Orchard");
    raw[163] = 7;
    raw[164] = 3;
    PutText(raw, 166, "sesame-sesame");
    raw[230] = 13;
    Put(raw, 350, {10, 0, 0, 9});
    Put(raw, 354, {0x14, 0x07}); // 1812
    Put(raw, 426, {1});
    Put(raw, 428, {2, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 44});
    PutText(raw, 436, "Barn");
    raw[468] = 4;
    raw[470] = 1;
    Put(raw, 732, {1, 0, 0x0A, 0x00, 0xFE, 0x0F, 0x02, 0x01, 1});
    raw[742] = 1;

    const DeviceInfo info = DeviceInfo::FromBytes(raw);
    EXPECT_EQ(info.work_mode(), 7);
    EXPECT_EQ(info.mode_btn_status(), 1);
    EXPECT_EQ(info.up_time(), 69261u);
    EXPECT_EQ(info.ip_mode(), 1);
    EXPECT_EQ(info.ip_apply_flag(), 1);
    EXPECT_EQ(info.version(), "3.1.4");
    EXPECT_EQ(info.restart_en(), 1);
    EXPECT_EQ(info.restart_type(), 0x82);
    EXPECT_EQ(info.rf_count(), 1);
    EXPECT_EQ(info.rf_type(), 2);
    EXPECT_EQ(info.country_code(), 86);
    EXPECT_EQ(info.network_mode(), 9);
    EXPECT_EQ(info.bandwidth(), 2);
    EXPECT_EQ(info.channel(), 149);
    EXPECT_EQ(info.expand_channel(), 1);
    EXPECT_EQ(info.tx_power(), 23);
    EXPECT_EQ(info.tx_power_min(), 10);
    EXPECT_EQ(info.tx_power_max(), 27);
    EXPECT_EQ(info.ssid_rf_type(), 3);
    EXPECT_EQ(info.ssid_id(), 0);
    EXPECT_EQ(info.ssid_hide(), 1);
    EXPECT_EQ(MacBytesToText(info.ssid_mac()), "00:11:22:33:44:55");
    EXPECT_EQ(info.ssid(), "Orchard");
    EXPECT_EQ(info.security().secure_mode(), 3);
    EXPECT_EQ(info.security().wpapsk_key_value(), "sesame-sesame");
    EXPECT_EQ(IpBytesToText(info.security().wpa_radius_ip()), "10.0.0.9");
    EXPECT_EQ(info.security().wpa_radius_port(), 1812);
    EXPECT_EQ(info.ssid_count(), 1);
    EXPECT_EQ(info.bridge_work_mode(), 2);
    EXPECT_EQ(MacBytesToText(info.bridge_mac()), "aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(info.bridge_channel(), 44);
    EXPECT_EQ(info.bridge_ssid(), "Barn");
    EXPECT_EQ(info.bridge_security().secure_mode(), 1);
    EXPECT_EQ(info.vlan_en(), 1);
    EXPECT_EQ(info.vlan_id(), 10);
    EXPECT_EQ(info.vlan_id_wlan(), 4094);
    EXPECT_EQ(info.vlan_id_lan(), 258);
    EXPECT_EQ(info.vlan_apply_flag(), 1);
    EXPECT_EQ(info.bridge_transparent(), 1);
}

TEST(DeviceInfoLayout, SettersWriteTheHandWrittenBytes) {
    DeviceInfo info;
    info.set_ap_name("Mast-7");
    info.set_restart_time(1370);
    info.set_vlan_id_wlan(4094);
    info.set_ip(Ipv4Bytes{10, 0, 0, 1});
    info.set_bridge_mac(MacAddress{1, 2, 3, 4, 5, 6});
    SecurityBlock security;
    security.set_secure_mode(4);
    security.set_wpa_key_time(86400);
    info.set_bridge_security(security);

    Bytes expected(744, 0);
    PutText(expected, 30, "Mast-7");
    expected[62] = 6;
    Put(expected, 98, {0x5A, 0x05});
    Put(expected, 736, {0xFE, 0x0F});
    Put(expected, 9, {10, 0, 0, 1});
    Put(expected, 429, {1, 2, 3, 4, 5, 6});
    expected[470] = 4;
    Put(expected, 470 + 258, {0x80, 0x51, 0x01, 0x00});
    EXPECT_EQ(Bytes(info.bytes().begin(), info.bytes().end()), expected);
}

TEST(DeviceInfoLayout, TextFieldsCutAtTheirWidthBothWays) {
    Bytes raw(744, 0);
    const std::string field(32, 'n');
    PutText(raw, 30, field);
    raw[62] = 40;
    raw[63] = 'v';
    DeviceInfo info = DeviceInfo::FromBytes(raw);
    EXPECT_EQ(info.ap_name(), field) << "length byte 40 reads the 32 bytes of the field only";

    info.set_ssid(std::string(45, 's'));
    EXPECT_EQ(info.ssid(), std::string(32, 's'));
    EXPECT_EQ(info.bytes()[163], 32);
    EXPECT_EQ(info.bytes()[164], 0) << "the neighbouring security block is untouched";

    info.set_ssid("ab");
    EXPECT_EQ(info.bytes()[131 + 2], 0) << "old text is cleared";
    EXPECT_EQ(info.ssid(), "ab");
}

TEST(DeviceInfoLayout, ShortAndLongRepliesAndReservedBytes) {
    const Bytes eleven = {2, 0, 0, 0, 5, 0, 0, 0, 1, 0xC0, 0xA8};
    const DeviceInfo shortInfo = DeviceInfo::FromBytes(eleven);
    EXPECT_EQ(shortInfo.work_mode(), 2);
    EXPECT_EQ(shortInfo.up_time(), 5u);
    EXPECT_EQ(shortInfo.ip(), (Ipv4Bytes{0xC0, 0xA8, 0, 0})) << "missing bytes read as zero";
    EXPECT_EQ(shortInfo.ap_name(), "");
    EXPECT_TRUE(DeviceInfo::FromBytes({}) == DeviceInfo());

    Bytes raw(760, 0xEE);
    const DeviceInfo longInfo = DeviceInfo::FromBytes(raw);
    EXPECT_EQ(Bytes(longInfo.bytes().begin(), longInfo.bytes().end()), Bytes(744, 0xEE));

    DeviceInfo edited = longInfo;
    edited.set_mode_btn_status(0);
    edited.set_up_time(0);
    edited.set_tx_power_max(0);
    edited.set_ssid_rf_type(0);
    edited.set_ssid_count(0);
    edited.set_bridge_work_mode(0);
    edited.set_bridge_ssid("");
    edited.set_bridge_security(SecurityBlock());
    edited.set_vlan_en(0);
    edited.set_vlan_id(0);
    edited.set_vlan_apply_flag(0);
    edited.set_bridge_transparent(0);
    for (size_t reserved : {2u, 3u, 111u, 121u, 427u, 469u, 733u, 741u, 743u}) {
        EXPECT_EQ(edited.bytes()[reserved], 0xEE)
            << "reserved byte " << reserved << " keeps what was received";
    }
}

TEST(DeviceInfoLayout, SettingsBlocksAreSlicesAtTheirOffsets) {
    DeviceInfo info;
    const uint8_t* base = info.bytes().data();
    const auto at = [base](std::span<const uint8_t> slice) {
        return std::pair<long, size_t>(slice.data() - base, slice.size());
    };
    EXPECT_EQ(at(info.ip_settings_block()), std::make_pair(8L, size_t{22}));
    EXPECT_EQ(at(info.device_name_block()), std::make_pair(30L, size_t{33}));
    EXPECT_EQ(at(info.reboot_schedule_block()), std::make_pair(96L, size_t{4}));
    EXPECT_EQ(at(info.radio_settings_block()), std::make_pair(100L, size_t{328}));
    EXPECT_EQ(at(info.security_block()), std::make_pair(164L, size_t{262}));
    EXPECT_EQ(at(info.bridge_settings_block()), std::make_pair(428L, size_t{304}));
    EXPECT_EQ(at(info.bridge_security_block()), std::make_pair(470L, size_t{262}));
    EXPECT_EQ(at(info.vlan_settings_block()), std::make_pair(732L, size_t{10}));

    auto vlan = info.mutable_vlan_settings_block();
    vlan[2] = 0x34;
    vlan[3] = 0x12;
    EXPECT_EQ(info.vlan_id(), 0x1234);
    info.mutable_ip_settings_block()[21] = 1;
    EXPECT_EQ(info.ip_apply_flag(), 1);
    info.mutable_bridge_settings_block()[40] = 3;
    EXPECT_EQ(info.bridge_ssid_length(), 3);
}

TEST(DeviceInfoLayout, ConvertTextsToLocalDropsACutCharacterAndFixesTheLength) {
    // Eleven CJK ideographs are 33 bytes; the device sent the first 32, ending inside the eleventh.
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += "\xE5\xA1\x94";
    }
    DeviceInfo info;
    info.set_ap_name(eleven);
    info.set_ssid("plain");
    ASSERT_EQ(info.ap_name_length(), 32);
    info.ConvertTextsToLocal();
    EXPECT_EQ(info.ap_name(), eleven.substr(0, 30));
    EXPECT_EQ(info.ap_name_length(), 30);
    EXPECT_EQ(info.ssid(), "plain");
}

TEST(SecurityBlockLayout, WepKeysSitInTheirOwnSlots) {
    Bytes raw(262, 0);
    raw[72] = 2;
    Put(raw, 129, {1});
    PutText(raw, 130, "0123456789");
    raw[156] = 10;
    raw[157] = 2;
    PutText(raw, 158, std::string(26, 'f'));
    raw[184] = 200;
    PutText(raw, 193, "radius-secret");
    raw[257] = 13;
    const SecurityBlock block = SecurityBlock::FromBytes(raw);
    EXPECT_EQ(block.wep_key_index(), 2);
    EXPECT_EQ(block.wep_key_type(2), 1);
    EXPECT_EQ(block.wep_key_value(2), "0123456789");
    EXPECT_EQ(block.wep_key_type(3), 2);
    EXPECT_EQ(block.wep_key_value(3), std::string(26, 'f')) << "length 200 is taken as 26";
    EXPECT_EQ(block.wep_key_value(0), "");
    EXPECT_EQ(block.wpa_key(), "radius-secret");

    SecurityBlock edited = block;
    edited.set_wep_key_value(4, "ignored");
    edited.set_wep_key_type(7, 9);
    EXPECT_TRUE(edited == block) << "keys beyond the fourth do not exist";
    EXPECT_EQ(edited.wep_key_value(4), "");
    edited.set_wep_key_value(1, "abcde");
    EXPECT_EQ(edited.bytes()[102], 'a');
    EXPECT_EQ(edited.bytes()[128], 5);
}

TEST(ApInfoLayout, RecordHoldsMacTextModelStatusAndDeviceInfo) {
    DeviceInfo info;
    info.set_work_mode(2);
    info.set_bridge_transparent(1);
    const ApInfo record = ApInfo::Make("00:1a:2b:3c:4d:5e", 257, -1, info);

    Bytes expected(768, 0);
    PutText(expected, 0, "00:1a:2b:3c:4d:5e");
    Put(expected, 18, {0x01, 0x01, 0xFF, 0xFF, 0xFF, 0xFF});
    expected[24] = 2;
    expected[24 + 742] = 1;
    EXPECT_EQ(Bytes(record.bytes().begin(), record.bytes().end()), expected);
    EXPECT_EQ(record.mac(), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(record.ap_type(), 257);
    EXPECT_EQ(record.ap_status(), -1);
    EXPECT_TRUE(record.device_info() == info);
}

TEST(ApInfoLayout, MacTextStaysTerminated) {
    ApInfo record;
    record.set_mac("00:1a:2b:3c:4d:5e:ff:ee");
    EXPECT_EQ(record.mac(), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(record.bytes()[17], 0);

    Bytes raw(26, 'x');
    const ApInfo unterminated = ApInfo::FromBytes(raw);
    EXPECT_EQ(unterminated.mac(), std::string(17, 'x')) << "never reads past the field";
    EXPECT_EQ(unterminated.device_info().work_mode(), 'x');
    EXPECT_EQ(unterminated.device_info().up_time(), 0u) << "bytes not received are zero";
}

} // namespace
} // namespace rf
