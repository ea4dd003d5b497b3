#include "PcClient.h"

#include "protocol/AnnounceRecord.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceNameBlock.h"
#include "protocol/ScanReply.h"
#include "protocol/SettingsPayloads.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

MacAddress MacOf(const std::string& radioJson) {
    return MacTextToBytes(JsonField(radioJson, "mac"));
}

TEST(RadiosimLab, SearchIsAnsweredOncePerRadioOfThatSubnetFromItsOwnAddress) {
    Lab lab({6, 2, {"--answer-spread-ms", "50"}});
    SKIP_WITHOUT_LAB(lab);
    const auto radios = lab.Radios();
    ASSERT_EQ(radios.size(), 6u);
    for (int subnet : {0, 1}) {
        PcClient pc(lab, subnet);
        ASSERT_TRUE(pc.Ok());
        pc.Search(subnet == 0 ? Lab::Broadcast(0) : "255.255.255.255");
        std::map<std::string, std::string> answered; // source address -> MAC text
        for (const Received& r : pc.Collect(kAnnouncePort, 600ms)) {
            ASSERT_TRUE(r.header);
            EXPECT_EQ(r.header->type, 1);
            EXPECT_EQ(r.payload().size(), AnnounceRecord::kSize);
            EXPECT_TRUE(answered.emplace(r.source, MacBytesToText(r.header->mac)).second)
                << "twice: " << r.source;
        }
        std::map<std::string, std::string> expected;
        for (const std::string& radio : radios) {
            if (JsonField(radio, "segment") == std::to_string(subnet)) {
                expected.emplace(JsonField(radio, "ip"), JsonField(radio, "mac"));
            }
        }
        EXPECT_EQ(answered, expected) << "subnet " << subnet;
    }
}

TEST(RadiosimLab, CommandToAMacIsRepliedOn9788AndSetNameChangesWhatGetInfoReports) {
    Lab lab({3, 1, {}});
    SKIP_WITHOUT_LAB(lab);
    const std::string radio = lab.Radios().at(1);
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());

    pc.Command(MessageType::GetInfo, MacOf(radio));
    auto reply = pc.WaitReply(MessageType::GetInfo, 2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->source, JsonField(radio, "ip"));
    EXPECT_EQ(MacBytesToText(reply->header->mac), JsonField(radio, "mac"));
    EXPECT_EQ(std::to_string(reply->header->model), JsonField(radio, "model"));
    ASSERT_EQ(reply->payload().size(), DeviceInfo::kSize);
    EXPECT_EQ(IpBytesToText(DeviceInfo::FromBytes(reply->payload()).ip()), JsonField(radio, "ip"));

    DeviceNameBlock name;
    name.set_ap_name("Lab name 7");
    pc.Command(MessageType::SetName, MacOf(radio), name.bytes());
    reply = pc.WaitReply(MessageType::SetName, 2s);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->payload().size(), 1u);
    EXPECT_EQ(reply->payload()[0], 0);

    pc.Command(MessageType::GetInfo, MacOf(radio));
    reply = pc.WaitReply(MessageType::GetInfo, 2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(DeviceInfo::FromBytes(reply->payload()).ap_name(), "Lab name 7");

    const std::string after = lab.Control("get " + JsonField(radio, "mac"));
    EXPECT_EQ(JsonField(after, "ap_name"), "Lab name 7");
    EXPECT_EQ(JsonField(after, "received"), "{\"2\":2,\"8\":1}");
    EXPECT_EQ(JsonField(lab.Radios().at(0), "received"), "{}") << "other radios ignore commands to this MAC";
}

TEST(RadiosimLab, RebootSilencesTheRadioThenItsUpTimeStartsAgain) {
    Lab lab({2, 1, {"--reboot-ms", "1500"}});
    SKIP_WITHOUT_LAB(lab);
    const std::string radio = lab.Radios().at(0);
    ASSERT_GT(std::stoul(JsonField(radio, "up_time")), 10u);
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());

    pc.Command(MessageType::Reboot, MacOf(radio));
    auto reply = pc.WaitReply(MessageType::Reboot, 2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->payload()[0], 0);
    pc.Command(MessageType::GetInfo, MacOf(radio));
    EXPECT_FALSE(pc.WaitReply(MessageType::GetInfo, 500ms)) << "a rebooting radio is silent";

    const auto answersAgain = [&] {
        pc.Command(MessageType::GetInfo, MacOf(radio));
        reply = pc.WaitReply(MessageType::GetInfo, 200ms);
        return reply.has_value();
    };
    ASSERT_TRUE(WaitFor(answersAgain, 10s)) << "the radio is back after its reboot";
    EXPECT_LT(DeviceInfo::FromBytes(reply->payload()).up_time(), 5u);
    EXPECT_EQ(JsonField(lab.Control("get " + JsonField(radio, "mac")), "reboots"), "1");
}

TEST(RadiosimLab, SetIpIsRepliedFromTheOldAddressAndLaterAnswersComeFromTheNewOne) {
    Lab lab({2, 1, {"--answer-spread-ms", "0"}});
    SKIP_WITHOUT_LAB(lab);
    const std::string radio = lab.Radios().at(1);
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());

    DeviceInfo settings;
    settings.set_ip({10, 99, 7, 7});
    settings.set_ip_mask({255, 255, 0, 0});
    settings.set_ip_gateway({10, 99, 0, 1});
    const auto payload = BuildSetIpPayload(settings, true);
    pc.Command(MessageType::SetIp, MacOf(radio), payload);
    auto reply = pc.WaitReply(MessageType::SetIp, 2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->source, JsonField(radio, "ip"));

    pc.Search(Lab::Broadcast(0));
    std::set<std::string> sources;
    for (const Received& r : pc.Collect(kAnnouncePort, 400ms)) {
        sources.insert(r.source);
    }
    EXPECT_EQ(sources.count("10.99.7.7"), 1u);
    EXPECT_EQ(sources.count(JsonField(radio, "ip")), 0u);
    EXPECT_EQ(JsonField(lab.Control("get " + JsonField(radio, "mac")), "ip"), "10.99.7.7");
}

TEST(RadiosimLab, ChosenRadiosAnswerWithAFailureAndChangeNothing) {
    Lab lab({2, 1, {"--fail", "0"}});
    SKIP_WITHOUT_LAB(lab);
    const auto radios = lab.Radios();
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());
    const uint8_t on = JsonField(radios[0], "bridge_transparent") == "1" ? 0 : 1;
    for (size_t i : {0u, 1u}) {
        pc.Command(MessageType::SetTransparentBridge, MacOf(radios[i]), std::array<uint8_t, 1>{on});
        const auto reply = pc.WaitReply(MessageType::SetTransparentBridge, 2s);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->payload()[0] != 0, i == 0);
    }
    EXPECT_EQ(JsonField(lab.Radios()[0], "bridge_transparent"), JsonField(radios[0], "bridge_transparent"));
}

TEST(RadiosimLab, HeartbeatsGoToTheLastSearcherUntilItLeaves) {
    Lab lab({3, 1, {"--heartbeat-ms", "150"}});
    SKIP_WITHOUT_LAB(lab);
    const auto radios = lab.Radios();
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());
    EXPECT_TRUE(pc.Collect(kHeartbeatPort, 400ms).empty()) << "no heartbeats before anyone searched";

    pc.Search(Lab::Broadcast(0));
    std::map<std::string, int> beats;
    for (const Received& r : pc.Collect(kHeartbeatPort, 700ms)) {
        ASSERT_TRUE(r.header);
        EXPECT_EQ(r.header->type, 15);
        ++beats[MacBytesToText(r.header->mac)];
    }
    for (const std::string& radio : radios) {
        EXPECT_GE(beats[JsonField(radio, "mac")], 2) << radio;
    }

    pc.Command(MessageType::Leave, MacOf(radios[0]));
    ASSERT_TRUE(pc.WaitReply(MessageType::Leave, 2s));
    pc.Collect(kHeartbeatPort, 200ms);
    beats.clear();
    for (const Received& r : pc.Collect(kHeartbeatPort, 600ms)) {
        ++beats[MacBytesToText(r.header->mac)];
    }
    EXPECT_EQ(beats[JsonField(radios[0], "mac")], 0);
    EXPECT_GE(beats[JsonField(radios[1], "mac")], 2);
    EXPECT_EQ(JsonField(lab.Control("get " + JsonField(radios[0], "mac")), "received"), "{\"1\":1,\"17\":1}");
}

TEST(RadiosimLab, ScanIsAnsweredInSeveralPacketsListingTheLabsAccessPoints) {
    Lab lab({90, 1, {}});
    SKIP_WITHOUT_LAB(lab);
    const auto radios = lab.Radios();
    std::string scanner;
    std::set<std::string> aps;
    for (const std::string& radio : radios) {
        if (JsonField(radio, "work_mode") == "1") {
            aps.insert(JsonField(radio, "ssid_mac"));
        } else if (scanner.empty()) {
            scanner = radio;
        }
    }
    ASSERT_GT(aps.size(), 32u) << "the seed should give enough access points to fill two packets";
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());
    pc.Command(MessageType::ScanAps, MacOf(scanner));

    std::set<std::string> seen;
    std::set<int> ids;
    int count = -1;
    for (const Received& r : pc.Collect(kReplyPort, 800ms)) {
        const auto scan = ScanReply::Decode(r.payload());
        ASSERT_TRUE(scan);
        ASSERT_EQ(r.header->type, 6);
        EXPECT_TRUE(count < 0 || count == scan->packet_count);
        count = scan->packet_count;
        ids.insert(scan->packet_id);
        EXPECT_EQ(scan->icount, scan->entries.size());
        for (const ScanEntry& e : scan->entries) {
            seen.insert(MacBytesToText(e.mac()));
        }
    }
    ASSERT_GE(count, 2);
    EXPECT_EQ(ids.size(), static_cast<size_t>(count));
    EXPECT_EQ(*ids.rbegin(), count - 1);
    for (const std::string& ap : aps) {
        EXPECT_EQ(seen.count(ap), 1u) << ap;
    }
    EXPECT_GT(seen.size(), aps.size()) << "neighbours from outside the lab are heard too";
}

TEST(RadiosimLab, LossAndSilentRadiosDropTheirShareOfAnswers) {
    Lab lab({300, 1, {"--loss-out", "30", "--silent", "10", "--seed", "7"}});
    SKIP_WITHOUT_LAB(lab);
    size_t mute = 0;
    for (const std::string& radio : lab.Radios()) {
        mute += JsonField(radio, "state") == "mute";
    }
    EXPECT_GT(mute, 10u);
    EXPECT_LT(mute, 55u);
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());
    pc.Search(Lab::Broadcast(0));
    // Under a sanitizer on a busy machine the simulator may still be answering after a quiet spell: collect
    // until every radio that is not mute has answered or had its answer dropped.
    size_t answers = 0;
    size_t dropped = 0;
    std::string stats;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    do {
        answers += pc.Collect(kAnnouncePort, 800ms).size();
        stats = lab.Control("stats");
        dropped = std::stoul(JsonField(JsonField(stats, "dropped_out_by_type"), "1"));
    } while (answers + dropped < 300 - mute && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(answers + dropped, 300 - mute) << stats;
    const double share = static_cast<double>(dropped) / static_cast<double>(300 - mute);
    EXPECT_GT(share, 0.2);
    EXPECT_LT(share, 0.4);
}

TEST(RadiosimLab, HostileModeSendsMalformedDatagramsToEveryPort) {
    Lab lab({5, 1, {"--hostile"}});
    SKIP_WITHOUT_LAB(lab);
    PcClient pc(lab, 0);
    ASSERT_TRUE(pc.Ok());
    pc.Search(Lab::Broadcast(0));
    bool badMagic = false, tooShort = false, lengthLies = false, tooLong = false, longName = false;
    for (uint16_t port : {kAnnouncePort, kHeartbeatPort, kReplyPort}) {
        for (const Received& r : pc.Collect(port, 400ms)) {
            badMagic |= r.bytes.size() >= 2 && r.bytes[0] != 0x86;
            tooShort |= r.bytes.size() < kHeaderSize;
            tooLong |= r.bytes.size() > kMaxDatagram;
            lengthLies |= r.header && r.header->length != r.bytes.size() - kHeaderSize;
            longName |= r.header && r.header->type == 1 && r.payload().size() == AnnounceRecord::kSize &&
                        r.payload()[AnnounceRecord::kApNameLengthOffset] > AnnounceRecord::kApNameWidth;
        }
    }
    EXPECT_TRUE(badMagic);
    EXPECT_TRUE(tooShort);
    EXPECT_TRUE(tooLong);
    EXPECT_TRUE(lengthLies);
    EXPECT_TRUE(longName);
    EXPECT_NE(JsonField(lab.Radios()[0], "ap_name").find('\''), std::string::npos) << "hostile names";
}

TEST(RadiosimLab, LabsWithOneSeedHoldTheSameRadiosAndRunSideBySide) {
    Lab first({8, 2, {"--seed", "42"}});
    Lab second({8, 2, {"--seed", "42"}});
    SKIP_WITHOUT_LAB(first);
    SKIP_WITHOUT_LAB(second);
    const auto a = first.Radios();
    const auto b = second.Radios();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        for (const char* key :
             {"mac", "ip", "ap_name", "model", "work_mode", "ssid", "bridge_mac", "vlan_id"}) {
            EXPECT_EQ(JsonField(a[i], key), JsonField(b[i], key)) << key;
        }
    }
}

} // namespace
} // namespace rf::test
