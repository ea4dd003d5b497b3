#include "protocol/AnnounceRecord.h"
#include "protocol/ScanReply.h"
#include "support/EngineHarness.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using test::kMac;
using test::kOther;

class EngineReplies : public ::testing::Test {
protected:
    // Makes mac a detailed device at ip, with its row stored.
    void Detail(const std::string& ip, const std::string& mac) {
        h.engine.OnAnnounce(
            test::FromDevice(ip, MessageType::Search, mac, AnnounceRecord().bytes(), 257, 9785));
        h.engine.DispatchReply(Info(ip, mac, ip));
    }
    static ReceivedPacket Info(const std::string& from, const std::string& mac,
                               const std::string& reportedIp) {
        DeviceInfo info;
        info.set_ip(IpTextToBytes(reportedIp));
        info.set_version("v2.0");
        info.set_ap_name("Caf\xC3\xA9");
        info.set_bridge_transparent(1);
        return test::FromDevice(from, MessageType::GetInfo, mac, info.bytes());
    }
    void Reply(MessageType type, int result, const std::string& mac = kMac) {
        const std::uint8_t payload[] = {static_cast<std::uint8_t>(result)};
        h.engine.DispatchReply(test::FromDevice("192.168.1.20", type, mac, payload));
    }
    int Status(const std::string& mac = kMac) { return ToCode(h.store.GetDeviceStatus(mac)); }

    test::EngineHarness h;
};

TEST_F(EngineReplies, DeviceInfoIsStoredOnlyForAnnouncedDevicesAndUniqueAddresses) {
    h.engine.DispatchReply(Info("192.168.1.20", kMac, "192.168.1.20"));
    EXPECT_EQ(Status(), 0) << "never answered a search: dropped";

    Detail("192.168.1.20", kMac);
    EXPECT_EQ(Status(), 1);
    ap_info_stu row;
    ASSERT_TRUE(h.store.GetDevice(kMac, row));
    EXPECT_EQ(row.device_info().ap_name(), "Caf\xC3\xA9");
    EXPECT_EQ(row.ap_type(), 257);
    const auto entry = h.engine.OnlineList().at(0);
    EXPECT_EQ(entry.bridge_transparent, 1);
    EXPECT_EQ(entry.version, "v2.0");

    h.engine.OnAnnounce(
        test::FromDevice("192.168.1.21", MessageType::Search, kOther, AnnounceRecord().bytes(), 257, 9785));
    h.engine.DispatchReply(Info("192.168.1.21", kOther, "192.168.1.20"));
    EXPECT_EQ(Status(kOther), 0) << "reports an address another detailed device holds";
}

TEST_F(EngineReplies, ResultsBecomeStatuses) {
    Detail("192.168.1.20", kMac);
    Reply(MessageType::Reboot, 1);
    EXPECT_EQ(Status(), 1) << "a failed reboot leaves the status";
    Reply(MessageType::Reboot, 0);
    EXPECT_EQ(Status(), 4);
    Reply(MessageType::Restore, 0);
    EXPECT_EQ(Status(), 5);
    Reply(MessageType::SetBridge, 0);
    EXPECT_EQ(Status(), 2);
    Reply(MessageType::SetBridge, 7);
    EXPECT_EQ(Status(), 3);
    Reply(MessageType::SetVlan, 0);
    EXPECT_EQ(Status(), 4);
    Reply(MessageType::UpgradeReport, 2);
    EXPECT_EQ(Status(), 8);
    Reply(MessageType::UpgradeReport, 1);
    EXPECT_EQ(Status(), 9);
    Reply(MessageType::UpgradePoll, 0);
    EXPECT_EQ(Status(), 9) << "only a waiting device starts upgrading";
    Reply(MessageType::UpgradeReport, 0);
    EXPECT_EQ(Status(), 6);
    Reply(MessageType::UpgradePoll, 0);
    EXPECT_EQ(Status(), 7);
}

TEST_F(EngineReplies, ScanIsCompleteOnlyWithItsLastPacket) {
    Detail("192.168.1.20", kMac);
    for (std::uint8_t id = 0; id < 3; ++id) {
        ScanReply reply;
        reply.packet_count = 3;
        reply.packet_id = id;
        ScanEntry entry;
        entry.mutable_bytes()[0] = id + 1; // distinct BSSIDs
        entry.set_ssid("ap-" + std::to_string(id));
        entry.mutable_bytes()[6] = static_cast<std::uint8_t>(-70);
        reply.entries.push_back(entry);
        std::vector<std::uint8_t> payload(ScanReply::kMaxSize);
        payload.resize(reply.Encode(payload));
        h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::ScanAps, kMac, payload));
        EXPECT_EQ(h.engine.scanComplete.load(), id == 2);
    }
    std::vector<ScannedApRecord> aps;
    ASSERT_TRUE(h.store.QueryScannedAps(0, true, aps));
    EXPECT_EQ(aps.size(), 3u);
}

TEST_F(EngineReplies, HeartbeatFromAKnownDeviceIsAcknowledgedAndRefreshesItsUpTime) {
    Detail("192.168.1.20", kMac);
    AnnounceRecord beat;
    beat.set_up_time(4242);
    beat.set_version("v2.1");
    h.sender->Clear();
    h.engine.OnHeartbeat(
        test::FromDevice("192.168.1.20", MessageType::Heartbeat, kMac, beat.bytes(), 257, 9787));
    EXPECT_EQ(h.engine.OnlineList().at(0).version, "v2.1");
    EXPECT_EQ(h.sender->Count(MessageType::Heartbeat, kMac), 1);
    ap_info_stu row;
    h.store.GetDevice(kMac, row);
    EXPECT_EQ(row.device_info().up_time(), 4242u);

    h.sender->Clear();
    h.engine.OnHeartbeat(
        test::FromDevice("192.168.1.31", MessageType::Heartbeat, kOther, beat.bytes(), 257, 9787));
    EXPECT_TRUE(h.sender->All().empty()) << "an unknown device gets nothing back";
    EXPECT_EQ(h.engine.OnlineList().size(), 1u);
}

TEST_F(EngineReplies, PendingIpIsAdoptedWhenTheOldAddressReplies) {
    Detail("192.168.1.20", kMac);
    h.engine.SetPendingIp(kMac, "192.168.1.99", "192.168.1.50");
    EXPECT_TRUE(h.engine.OnlineList().at(0).pendingIp.empty()) << "current address must match";
    h.engine.SetPendingIp(kMac, "192.168.1.20", "192.168.1.50");
    EXPECT_EQ(h.engine.OnlineList().at(0).pendingIp, "192.168.1.50");
    Reply(MessageType::SetIp, 0);
    const auto entry = h.engine.OnlineList().at(0);
    EXPECT_EQ(entry.ip, "192.168.1.50");
    EXPECT_TRUE(entry.pendingIp.empty());

    h.engine.SetPendingIp(kMac, "192.168.1.50", "192.168.1.50");
    EXPECT_TRUE(h.engine.OnlineList().at(0).pendingIp.empty()) << "same address clears it";
}

TEST_F(EngineReplies, TruncatedAndEmptyRepliesAreHarmless) {
    Detail("192.168.1.20", kMac);
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::GetInfo, kMac, {}));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::ScanAps, kMac, {}));
    const std::uint8_t huge[] = {1, 0, 255};
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::ScanAps, kMac, huge));
    Reply(MessageType::Reboot, 0);
    EXPECT_EQ(Status(), 4);
}

} // namespace
} // namespace rf
