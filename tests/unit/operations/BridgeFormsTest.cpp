#include "operations/BridgeForms.h"
#include "operations/ApScan.h"
#include "operations/DeviceOperations.h"
#include "operations/OperationChecks.h"
#include "protocol/CodeTables.h"
#include "protocol/ScanReply.h"
#include "protocol/SettingsPayloads.h"
#include "rules/WirelessForm.h"
#include "store/SqlManagement.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

const MacAddress kApMac{0x02, 0xaa, 0, 0, 0, 7};

ScanEntry AccessPoint(int code, int channel = 6, const std::string& ssid = "mast") {
    ScanEntry ap;
    ap.set_mac(kApMac);
    ap.set_channel(static_cast<uint8_t>(channel));
    ap.set_secure_mode(static_cast<uint8_t>(code));
    ap.set_ssid(ssid);
    ap.set_signal(-61);
    return ap;
}

BridgeSecurityForm PresetFor(const ScanEntry& ap, int rfType = 0) {
    BridgeSecurityForm form = OpenBridgeSecurity();
    PresetFromScan(form, rfType, ap);
    return form;
}

std::vector<int> ChannelsOf(const ChoiceList& list) {
    std::vector<int> channels;
    for (const ChoiceItem& item : list.items) {
        channels.push_back(item.data);
    }
    return channels;
}

TEST(BridgeChannels, EachBandOffersAutoAndItsChannelsAndAnUnlistedChannelSelectsAuto) {
    EXPECT_EQ(ChannelsOf(BuildBridgeChannelList(0, 0)),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ChannelsOf(BuildBridgeChannelList(1, 0)),
              (std::vector<int>{0, 36, 40, 44, 48, 149, 153, 157, 161}));
    EXPECT_EQ(BuildBridgeChannelList(1, 6).SelectedData(), 0) << "a 2.4 GHz channel on a 5 GHz radio";
    EXPECT_EQ(BuildBridgeChannelList(1, 157).SelectedData(), 157);
    EXPECT_EQ(BuildBridgeChannelList(0, 14).SelectedData(), 0);
}

TEST(BridgePreset, EveryScanCodeGivesItsModeAndCipher) {
    struct Case {
        int code, mode, cipher;
    };
    for (const Case c : {Case{2, 2, 0}, Case{3, 2, 1}, Case{4, 3, 0}, Case{5, 3, 1}, Case{6, 3, 2},
                         Case{7, 4, 0}, Case{8, 4, 1}, Case{9, 4, 2}, Case{10, 2, 2}}) {
        const BridgeSecurityForm form = PresetFor(AccessPoint(c.code));
        EXPECT_EQ(form.security.mode, c.mode) << "code " << c.code;
        EXPECT_EQ(form.security.pskCipher, c.cipher) << "code " << c.code;
        EXPECT_TRUE(form.security.pskKey.empty());
    }
    BridgeSecurityForm tkip = PresetFor(AccessPoint(3));
    PresetFromScan(tkip, 0, AccessPoint(0));
    EXPECT_EQ(tkip.security.mode, 0);
    EXPECT_EQ(tkip.security.pskCipher, 1) << "an open access point leaves the cipher as it was";
    EXPECT_EQ(PresetFor(AccessPoint(12)).security.mode, 0) << "unknown codes preset None";

    const BridgeSecurityForm wep = PresetFor(AccessPoint(1));
    EXPECT_EQ(wep.security.mode, 1) << "a WEP access point is offered as WEP, not as WPA-PSK";
    EXPECT_EQ(wep.security.wepAuth, 0);
    EXPECT_EQ(BuildBridgeSecurityList(wep.security.mode).SelectedData(), 1);
}

TEST(BridgePreset, TakesTheSsidMacAndChannelOfTheAccessPoint) {
    const BridgeSecurityForm form = PresetFor(AccessPoint(4, 11, "roof-north"));
    EXPECT_EQ(form.ssid, "roof-north");
    EXPECT_EQ(form.apMac, kApMac);
    EXPECT_EQ(form.channels.SelectedData(), 11);
    EXPECT_EQ(PresetFor(AccessPoint(4, 6), 1).channels.SelectedData(), 0);
}

class BridgeSecurityCollect : public ::testing::Test {
protected:
    // The message of a WPA2 step with this key, empty when accepted.
    std::string WithKey(const std::string& key) {
        BridgeSecurityForm form = PresetFor(AccessPoint(6));
        form.security.pskKey = key;
        DeviceInfo out;
        return CollectBridgeSettings(form, 257, out);
    }
    const std::string keyMessage = "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!";
};

TEST_F(BridgeSecurityCollect, KeysOf8To64CharactersPassAndOnly64HexDigitsMayFillTheField) {
    EXPECT_EQ(WithKey(""), keyMessage) << "a preset WPA2 step refuses until a key is typed";
    EXPECT_EQ(WithKey("1234567"), keyMessage);
    EXPECT_EQ(WithKey("12345678"), "");
    EXPECT_EQ(WithKey(std::string(63, 'g')), "") << "63 characters may be any ASCII";
    EXPECT_EQ(WithKey(std::string(64, 'a')), "");
    EXPECT_EQ(WithKey(std::string(63, 'a') + "g"), keyMessage) << "64 characters must be hex digits";
    EXPECT_EQ(WithKey(std::string(65, 'a')), keyMessage);
    EXPECT_EQ(WithKey("schl\xc3\xbcssel"), keyMessage) << "a character above U+007F";
}

TEST_F(BridgeSecurityCollect, TheSsidMustBeThereAndFollowTheModelsNameRule) {
    BridgeSecurityForm form = PresetFor(AccessPoint(0, 6, "roof north"));
    DeviceInfo out;
    EXPECT_EQ(CollectBridgeSettings(form, 257, out), "") << "other models take spaces";
    EXPECT_EQ(CollectBridgeSettings(form, 4, out), kStrictSsidMessage);
    form.ssid = std::string(33, 'a');
    EXPECT_EQ(CollectBridgeSettings(form, 257, out),
              "SSID maximum allowed 32 bytes, only support combination of Chinese, ASCII characters");
    form.ssid.clear();
    EXPECT_EQ(CollectBridgeSettings(form, 257, out), "The ssid can not be empty!");
}

TEST_F(BridgeSecurityCollect, TheBlockMakesAStationOfTheAccessPointWithItsSecurity) {
    BridgeSecurityForm form = PresetFor(AccessPoint(6, 11, "roof"));
    form.security.pskKey = "secret-key";
    DeviceInfo out;
    out.set_bridge_channel(99);
    out.mutable_bytes()[DeviceInfo::kBridgeSettingsOffset + 303] = 0xee;
    ASSERT_EQ(CollectBridgeSettings(form, 257, out), "");
    EXPECT_EQ(out.bridge_work_mode(), 2);
    EXPECT_EQ(out.bridge_mac(), kApMac);
    EXPECT_EQ(out.bridge_channel(), 11);
    EXPECT_EQ(out.bridge_ssid(), "roof");
    const SecurityBlock security = out.bridge_security();
    EXPECT_EQ(security.secure_mode(), 3);
    EXPECT_EQ(security.wpapsk_auth_type(), 2);
    EXPECT_EQ(security.wpapsk_key_value(), "secret-key");
    EXPECT_EQ(security.wpapsk_key_time(), 0u);
    EXPECT_EQ(out.bytes()[DeviceInfo::kBridgeSettingsOffset + 303], 0) << "the rest of the block is cleared";

    form.security.mode = 0; // None: whatever the key field holds is not checked nor sent
    form.security.pskKey = "x";
    ASSERT_EQ(CollectBridgeSettings(form, 257, out), "");
    EXPECT_EQ(out.bridge_security().secure_mode(), 0);
    EXPECT_EQ(out.bridge_security().wpapsk_key_value(), "");
}

TEST_F(BridgeSecurityCollect, AWepLinkIsCheckedWithTheWepKeyRules) {
    BridgeSecurityForm form = PresetFor(AccessPoint(1));
    DeviceInfo out;
    EXPECT_EQ(CollectBridgeSettings(form, 257, out), "Please enter the WEP key1!");
    form.security.wepKeys[0] = "abcde";
    ASSERT_EQ(CollectBridgeSettings(form, 257, out), "");
    EXPECT_EQ(out.bridge_security().secure_mode(), 1);
    EXPECT_EQ(out.bridge_security().wep_key_value(0), "abcde");
}

class BridgeIp : public ::testing::Test {
protected:
    BridgeIp() : store_(dir_.Dir()) {
        store_.SaveDeviceInfo(Device("02:00:00:00:00:01", "10.99.1.10"));
        store_.SaveDeviceInfo(Device("02:00:00:00:00:02", "10.99.1.11"));
    }
    static ap_info_stu Device(const std::string& mac, const std::string& ip) {
        DeviceInfo info;
        info.set_ip(IpTextToBytes(ip));
        info.set_ip_mask({255, 255, 255, 0});
        info.set_ip_gateway({10, 99, 1, 1});
        return ap_info_stu::Make(mac, 257, DeviceStatus::Online, info);
    }
    BridgeIpCollect Collect(const IpSettingsTexts& texts) {
        return CollectBridgeIpSettings(texts, AddressUsedByOthers(store_, {"02:00:00:00:00:01"}));
    }
    test::TempDir dir_;
    CSqlManagement store_;
};

TEST_F(BridgeIp, TheDevicesOwnAddressPassesAndAnotherDevicesIsInUse) {
    ap_info_stu own;
    ASSERT_TRUE(store_.GetDevice("02:00:00:00:00:01", own));
    IpSettingsTexts texts = OpenBridgeIp(own.device_info());
    EXPECT_EQ(texts.ip, "10.99.1.10");
    EXPECT_EQ(texts.gateway, "10.99.1.1");
    EXPECT_TRUE(Collect(texts).Accepted()) << "the prefilled settings pass unchanged";
    texts.ip = "10.99.1.11";
    EXPECT_EQ(Collect(texts).message, "The ip address is already in use, please respecify!");
    texts.ip = "10.99.1.12";
    EXPECT_TRUE(Collect(texts).Accepted());
}

TEST_F(BridgeIp, TheAddressRulesApplyInOrderAndTheBlockWaitsForTheBridge) {
    IpSettingsTexts texts{"192.168.1.20", "255.255.255.0", "", "", ""};
    BridgeIpCollect collect = Collect(texts);
    ASSERT_TRUE(collect.Accepted());
    EXPECT_EQ(collect.block[0], 1);
    EXPECT_EQ((std::vector<uint8_t>(collect.block.begin() + 1, collect.block.begin() + 5)),
              (std::vector<uint8_t>{0xc0, 0xa8, 0x01, 0x14}));
    EXPECT_EQ(collect.block[21], 0) << "applied together with the bridge settings, not at once";
    texts.gateway = "0.0.0.0";
    EXPECT_TRUE(Collect(texts).Accepted()) << "no gateway skips the subnet check";
    texts.gateway = "10.0.0.1";
    EXPECT_EQ(Collect(texts).message, "Ip address and gateway address is not in the same subnet!");
    texts.gateway = "192.168.1.20";
    EXPECT_EQ(Collect(texts).message, "The ip address and gateway address cannot be the same!");
    texts = {"192.168.1.20", "255.0.255.0", "", "", ""};
    EXPECT_EQ(Collect(texts).message, "The subnet mask is invalid!");
    texts = {"192.168.1.20", "255.255.255.0", "", "127.0.0.1", ""};
    EXPECT_EQ(Collect(texts).message, "The primary DNS Server is invalid!");
    texts = {"192.168.1.255", "255.255.255.0", "", "", ""};
    EXPECT_EQ(Collect(texts).message, "The ip address is invalid!");
}

TEST(BridgePlan, OneSetBridgeOf326BytesAskedForAtItsNewAddress) {
    DeviceInfo settings;
    BridgeSecurityForm form = PresetFor(AccessPoint(0, 6, "\xe5\x8c\x97roof"));
    ASSERT_EQ(CollectBridgeSettings(form, 257, settings), "");
    const BridgeIpCollect ip = CollectBridgeIpSettings({"10.99.1.50", "255.255.255.0", "", "", ""}, {});
    ASSERT_TRUE(ip.Accepted());
    std::copy(ip.block.begin(), ip.block.end(), settings.mutable_ip_settings_block().begin());

    const BatchPlan plan = PlanBridge(SelectedDevice::Make("10.99.1.10", "02:00:00:00:00:01", 257), settings);
    EXPECT_EQ(plan.type, MessageType::SetBridge);
    ASSERT_EQ(plan.items.size(), 1u);
    const BatchItem& item = plan.items[0];
    ASSERT_EQ(item.payload.size(), 326u);
    EXPECT_EQ(item.ip, "10.99.1.10");
    EXPECT_EQ(item.detailIp, "10.99.1.50");
    EXPECT_EQ(item.payload[0], 2) << "work mode Station";
    EXPECT_EQ(item.payload[1 + 5], 7) << "the access point's MAC";
    EXPECT_EQ(item.payload[DeviceInfo::kBridgeSsidLengthOffset - DeviceInfo::kBridgeSettingsOffset], 7)
        << "the SSID in device encoding with its length";
    EXPECT_EQ(item.payload[304], 1) << "static address mode of the IP block";
    EXPECT_EQ(item.payload[325], 0);

    DeviceInfo station = settings;
    station.set_work_mode(2);
    const ap_info_stu bridged = ap_info_stu::Make("02:00:00:00:00:01", 257, DeviceStatus::Online, station);
    EXPECT_TRUE(plan.applied(item, bridged));
    DeviceInfo stillAp = station;
    stillAp.set_work_mode(1);
    EXPECT_FALSE(
        plan.applied(item, ap_info_stu::Make("02:00:00:00:00:01", 257, DeviceStatus::Online, stillAp)));
}

TEST(ApScanList, SignalPicturesAndSecurityTexts) {
    EXPECT_EQ(SignalImageIndex(-90), 1);
    EXPECT_EQ(SignalImageIndex(-75), 1);
    EXPECT_EQ(SignalImageIndex(-74), 3);
    EXPECT_EQ(SignalImageIndex(-60), 3);
    EXPECT_EQ(SignalImageIndex(-59), 5);
    EXPECT_STREQ(ScanSecurityText(0), "None");
    EXPECT_STREQ(ScanSecurityText(6), "WPA2-PSK/TKIP&AES");
    EXPECT_STREQ(ScanSecurityText(9), "WPA/WPA2-PSK/TKIP&AES");
    EXPECT_STREQ(ScanSecurityText(12), "WPA-PSK/TKIP&AES");
}

TEST(ApScanList, TheStoredScanIsReadStrongestFirst) {
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    ScanReply reply;
    reply.packet_count = 1;
    for (int8_t signal : {int8_t{-80}, int8_t{-40}, int8_t{-65}}) {
        ScanEntry ap = AccessPoint(4);
        ap.set_mac({2, 0, 0, 0, 0, static_cast<uint8_t>(-signal)});
        ap.set_signal(signal);
        reply.entries.push_back(ap);
    }
    std::vector<uint8_t> payload(ScanReply::kMaxSize);
    payload.resize(reply.Encode(payload));
    ASSERT_TRUE(store.SaveScanResults(payload));
    std::vector<int> signals;
    for (const ScanEntry& ap : ScannedApsBySignal(store)) {
        signals.push_back(ap.signal());
    }
    EXPECT_EQ(signals, (std::vector<int>{-40, -65, -80}));
}

} // namespace
} // namespace rf
