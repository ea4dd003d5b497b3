// The simulated radios' behaviour without sockets: what a command changes and what it answers.
#include "Radio.h"
#include "DevicePackets.h"
#include "RadioFactory.h"
#include "RadioJson.h"
#include "SimOptions.h"

#include "protocol/CodeTables.h"
#include "protocol/PacketHeader.h"
#include "protocol/ScanReply.h"
#include "protocol/SettingsPayloads.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace rf {
namespace {

SimOptions Options(size_t radios, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--radios", std::to_string(radios), "--segment", "lab-r0,10.99.0.0/16"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    auto options = ParseSimOptions(args, error);
    EXPECT_TRUE(options) << error;
    return *options;
}

Radio OneRadio() {
    return MakeRadios(Options(1))[0];
}

TEST(RadioCommands, SettingsChangeTheReportedRecordAndAnswerSuccess) {
    Radio radio = OneRadio();
    DeviceInfo wanted = radio.info();
    wanted.set_ap_name("new name");
    auto outcome = radio.Execute(MessageType::SetName, wanted.device_name_block(), 0);
    EXPECT_TRUE(outcome.reply);
    EXPECT_EQ(outcome.payload, std::vector<uint8_t>{0});
    EXPECT_EQ(radio.info().ap_name(), "new name");

    wanted.set_channel(11);
    wanted.set_ssid("other");
    radio.Execute(MessageType::SetWireless, BuildSetWirelessPayload(wanted), 0);
    EXPECT_EQ(radio.info().channel(), 11);
    EXPECT_EQ(radio.info().ssid(), "other");

    wanted.set_restart_time(1370);
    radio.Execute(MessageType::SetRebootSchedule, BuildSetRebootSchedulePayload(wanted), 0);
    EXPECT_EQ(radio.info().restart_time(), 1370);

    EXPECT_EQ(radio.Execute(MessageType::SetTransparentBridge, std::array<uint8_t, 1>{2}, 0).payload[0], 1)
        << "only 0 and 1 are valid";
    const uint8_t other = radio.info().bridge_transparent() == 0 ? 1 : 0;
    radio.Execute(MessageType::SetTransparentBridge, std::array<uint8_t, 1>{other}, 0);
    EXPECT_EQ(radio.info().bridge_transparent(), other);

    const auto info = radio.Execute(MessageType::GetInfo, {}, 5000);
    ASSERT_EQ(info.payload.size(), DeviceInfo::kSize);
    EXPECT_EQ(DeviceInfo::FromBytes(info.payload).ap_name(), "new name");
}

TEST(RadioCommands, ShortPayloadsAndFailingRadiosChangeNothing) {
    Radio radio = OneRadio();
    const DeviceInfo before = radio.info();
    EXPECT_EQ(radio.Execute(MessageType::SetWireless, std::vector<uint8_t>(10, 7), 0).payload[0], 1);
    EXPECT_EQ(radio.Execute(MessageType::SetIp, std::vector<uint8_t>(21, 7), 0).payload[0], 1);
    EXPECT_EQ(radio.Execute(MessageType::SetBridge, std::vector<uint8_t>(325, 7), 0).payload[0], 1);
    EXPECT_EQ(radio.info(), before);

    radio.failing = true;
    DeviceInfo wanted = before;
    wanted.set_ap_name("ignored");
    EXPECT_EQ(radio.Execute(MessageType::SetName, wanted.device_name_block(), 0).payload[0], 1);
    const auto reboot = radio.Execute(MessageType::Reboot, {}, 0);
    EXPECT_NE(reboot.payload[0], 0);
    EXPECT_FALSE(reboot.reboot);
    EXPECT_EQ(radio.info(), before);
    EXPECT_FALSE(radio.Execute(MessageType::Heartbeat, {}, 0).reply) << "acknowledgements are not answered";
}

TEST(RadioCommands, IpWaitsForTheVlanChangeWhenNotAppliedAtOnce) {
    Radio radio = OneRadio();
    const Ipv4Bytes old = radio.ip();
    DeviceInfo wanted = radio.info();
    wanted.set_vlan_id(77);
    const auto vlan = radio.Execute(MessageType::SetVlan, BuildSetVlanPayload(wanted, true), 0);
    EXPECT_TRUE(vlan.reboot);
    EXPECT_EQ(vlan.rebootDelayMs, kApplyWindowMs) << "the IP change that follows must still reach the radio";
    EXPECT_EQ(radio.info().vlan_id(), 77);
    wanted.set_ip({10, 99, 50, 1});
    radio.Execute(MessageType::SetIp, BuildSetIpPayload(wanted, false), 100);
    EXPECT_EQ(radio.ip(), old);
    radio.StartReboot(kApplyWindowMs, 1000);
    EXPECT_EQ(radio.ip(), (Ipv4Bytes{10, 99, 50, 1}));

    DeviceInfo alone = radio.info();
    alone.set_vlan_id(78);
    const auto vlanOnly = radio.Execute(MessageType::SetVlan, BuildSetVlanPayload(alone, false), 5000);
    EXPECT_TRUE(vlanOnly.reboot);
    EXPECT_EQ(vlanOnly.rebootDelayMs, 0);

    wanted.set_ip({0, 0, 0, 0});
    EXPECT_EQ(radio.Execute(MessageType::SetIp, BuildSetIpPayload(wanted, true), 0).payload[0], 1);
    EXPECT_EQ(radio.ip(), (Ipv4Bytes{10, 99, 50, 1}));
}

TEST(RadioCommands, BridgeMakesAStationWithTheGivenPartner) {
    Radio radio = OneRadio();
    DeviceInfo wanted = radio.info();
    wanted.set_bridge_work_mode(2);
    wanted.set_bridge_mac({6, 1, 2, 3, 4, 5});
    wanted.set_bridge_ssid("partner");
    wanted.set_ip({10, 99, 9, 9});
    const auto outcome = radio.Execute(MessageType::SetBridge, BuildSetBridgePayload(wanted), 0);
    EXPECT_EQ(outcome.payload[0], 0);
    EXPECT_EQ(radio.info().work_mode(), 2);
    EXPECT_EQ(radio.info().bridge_ssid(), "partner");
    EXPECT_EQ(radio.ip(), (Ipv4Bytes{10, 99, 9, 9}));
}

TEST(RadioLife, RebootRestartsUpTimeAndRestoreBringsBackTheFactoryRecord) {
    Radio radio = OneRadio();
    const DeviceInfo factory = radio.info();
    const uint32_t start = radio.UpTime(0);
    EXPECT_EQ(radio.UpTime(10000), start + 10);
    radio.heartbeatTarget = Ipv4Bytes{10, 99, 255, 254};

    DeviceInfo wanted = factory;
    wanted.set_ap_name("changed");
    radio.Execute(MessageType::SetName, wanted.device_name_block(), 0);
    const auto restore = radio.Execute(MessageType::Restore, {}, 10000);
    EXPECT_TRUE(restore.reboot);
    EXPECT_EQ(radio.info(), factory);
    radio.StartReboot(10000, 3000);
    EXPECT_TRUE(radio.Rebooting(12999));
    EXPECT_FALSE(radio.Rebooting(13000));
    EXPECT_EQ(radio.UpTime(15500), 2u);
    EXPECT_FALSE(radio.heartbeatTarget) << "a reboot forgets the PC";
    EXPECT_EQ(radio.restores(), 1u);
    EXPECT_EQ(radio.reboots(), 1u);
}

TEST(RadioLife, AnnounceCarriesTheRecordsTextsAtTheirOffsets) {
    Radio radio = OneRadio();
    const AnnounceRecord a = radio.Announce(0);
    EXPECT_EQ(a.version(), radio.info().version());
    EXPECT_EQ(a.ap_name(), radio.info().ap_name());
    EXPECT_EQ(a.ssid(), radio.info().ssid());
    EXPECT_EQ(a.channel(), radio.info().channel());
    EXPECT_EQ(a.up_time(), radio.UpTime(0));
    const auto packet = DevicePacket(1, radio.model(), radio.mac(), a.bytes());
    const auto header = PacketHeader::Decode(packet);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->model, radio.model());
    EXPECT_EQ(header->addressed, 0);
    EXPECT_EQ(header->length, AnnounceRecord::kSize);
}

TEST(RadioFactory, MakesAVariedDeterministicLab) {
    const auto radios = MakeRadios(Options(60));
    const auto again = MakeRadios(Options(60));
    std::set<int> security, buttons, modes, models;
    std::set<std::string> ips, macs;
    std::map<std::string, size_t> apByWirelessMac;
    for (const Radio& r : radios) {
        security.insert(r.info().security().secure_mode());
        buttons.insert(r.info().mode_btn_status());
        modes.insert(r.info().work_mode());
        models.insert(r.model());
        ips.insert(IpBytesToText(r.ip()));
        macs.insert(MacBytesToText(r.mac()));
        if (r.info().work_mode() == 1) {
            apByWirelessMac[MacBytesToText(r.info().ssid_mac())] = r.index();
        }
        EXPECT_EQ(r.info(), again[r.index()].info());
        EXPECT_LE(r.info().tx_power_min(), r.info().tx_power());
        EXPECT_LE(r.info().tx_power(), r.info().tx_power_max());
    }
    EXPECT_EQ(security.size(), 7u);
    EXPECT_EQ(buttons, (std::set<int>{0, 1, 2}));
    EXPECT_GE(modes.size(), 4u);
    EXPECT_GE(models.size(), 5u);
    EXPECT_EQ(ips.size(), 60u);
    EXPECT_EQ(macs.size(), 60u);
    size_t stations = 0;
    for (const Radio& r : radios) {
        if (r.info().work_mode() == 2) {
            ++stations;
            const auto ap = apByWirelessMac.find(MacBytesToText(r.info().bridge_mac()));
            ASSERT_NE(ap, apByWirelessMac.end()) << "a station is bridged to an access point of the lab";
            EXPECT_EQ(r.info().bridge_ssid(), radios[ap->second].info().ssid());
        }
    }
    EXPECT_GT(stations, 10u);
}

TEST(RadioFactory, AddressesSkipNetworkAndBroadcastOctetsAndFaultsApply) {
    Segment s;
    s.network = {10, 99, 0, 0};
    EXPECT_EQ(RadioAddress(s, 0), (Ipv4Bytes{10, 99, 1, 1}));
    EXPECT_EQ(RadioAddress(s, 253), (Ipv4Bytes{10, 99, 1, 254}));
    EXPECT_EQ(RadioAddress(s, 254), (Ipv4Bytes{10, 99, 2, 1}));

    const auto radios = MakeRadios(Options(5, {"--duplicate-ip", "--fail", "3,4"}));
    EXPECT_EQ(radios[0].ip(), radios[1].ip());
    EXPECT_NE(radios[0].ip(), radios[2].ip());
    EXPECT_TRUE(radios[3].failing && radios[4].failing && !radios[2].failing);
}

TEST(RadioOptions, RejectsBadValues) {
    std::string error;
    EXPECT_FALSE(ParseSimOptions({"--radios", "5"}, error)) << "a segment is required";
    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0"}, error));
    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--loss-in", "101"}, error));
    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--radios"}, error));
    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--fail", "1,x"}, error));
    const auto ok = ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--segment", "r1,10.98.0.0/24"}, error);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->segments[1].prefix, 24);
}

TEST(RadioScan, SplitsIntoPacketsOfAtMost32) {
    const auto radios = MakeRadios(Options(120));
    const auto payloads = ScanPayloads(radios[1], radios, 1);
    ASSERT_GE(payloads.size(), 2u);
    size_t entries = 0;
    for (size_t i = 0; i < payloads.size(); ++i) {
        const auto reply = ScanReply::Decode(payloads[i]);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->packet_count, payloads.size());
        EXPECT_EQ(reply->packet_id, i);
        EXPECT_LE(reply->entries.size(), 32u);
        EXPECT_EQ(reply->IsLast(), i + 1 == payloads.size());
        entries += reply->entries.size();
    }
    size_t aps = 0;
    for (const Radio& r : radios) {
        aps += r.info().work_mode() == 1 && r.index() != 1;
    }
    EXPECT_GT(entries, aps);
}

TEST(RadioJsonText, EscapesQuotesControlsAndBrokenUtf8) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("x\ny"), "\"x\\u000ay\"");
    EXPECT_EQ(JsonString("\xe5\x8c\x97"), "\"\xe5\x8c\x97\"");
    EXPECT_EQ(JsonString("\xe5\x8c"), "\"\\u00e5\\u008c\"");
    const std::string line = RadioJson(OneRadio(), 0);
    EXPECT_EQ(line.front(), '{');
    EXPECT_EQ(line.back(), '}');
    EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST(RadioHostile, DatagramsBreakEveryAcceptanceRule) {
    bool badMagic = false, shortOne = false, oversized = false, lengthLies = false;
    for (const HostileDatagram& d : HostileDatagrams({2, 0, 0, 0, 0, 1})) {
        const auto header = PacketHeader::Decode(d.bytes);
        badMagic |= d.bytes.size() >= 16 && d.bytes.size() <= 1472 && !header;
        shortOne |= d.bytes.size() < 16;
        oversized |= d.bytes.size() > 1472;
        lengthLies |= header && header->length != d.bytes.size() - 16;
    }
    EXPECT_TRUE(badMagic && shortOne && oversized && lengthLies);
}

} // namespace
} // namespace rf
