// The batch workers over an engine whose packets go into a recorder.
#include "pages/DeviceWorkers.h"
#include "pages/WorkerSlot.h"
#include "protocol/DeviceNameBlock.h"
#include "support/EngineHarness.h"

#include <atomic>
#include <gtest/gtest.h>

namespace rf {
namespace {

std::vector<SelectedDevice> Devices(int n) {
    std::vector<SelectedDevice> devices;
    for (int i = 1; i <= n; ++i) {
        devices.push_back(SelectedDevice::Make("192.168.1." + std::to_string(20 + i),
                                               "02:00:00:00:00:0" + std::to_string(i), 257));
    }
    return devices;
}

TEST(DeviceWorkers, IpAssignGivesTheRangeInOrderAndRemembersTheNewAddresses) {
    test::EngineHarness h;
    IpBatch batch{IpTextToBytes("192.168.1.254"),
                  IpTextToBytes("192.168.2.2"),
                  IpTextToBytes("255.255.0.0"),
                  IpTextToBytes("192.168.1.1"),
                  {},
                  {}};
    const auto devices = Devices(4);
    EXPECT_EQ(RunIpAssign({}, h.engine, batch, devices), 3);
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 3u);
    const char* expected[] = {"192.168.1.254", "192.168.2.1", "192.168.2.2"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].header.messageType(), MessageType::SetIp);
        EXPECT_EQ(MacBytesToText(sent[i].header.mac), devices[i].Mac());
        ASSERT_EQ(sent[i].payload.size(), 22u);
        EXPECT_EQ(
            IpBytesToText({sent[i].payload[1], sent[i].payload[2], sent[i].payload[3], sent[i].payload[4]}),
            expected[i]);
        EXPECT_EQ(sent[i].payload[0], 1);
        EXPECT_EQ(sent[i].payload[21], 1);
    }
    EXPECT_EQ(h.sender->Count(MessageType::SetIp, devices[3].Mac()), 0) << "the fourth gets nothing";
    EXPECT_EQ(h.engine.PendingRequests().size(), 3u) << "resent until answered";
}

TEST(DeviceWorkers, RenameSendsTheNameInDeviceEncodingWithItsLength) {
    test::EngineHarness h;
    const std::string name = "\xe5\x8c\x97\xe7\xab\x99-7"; // two ideographs and "-7"
    EXPECT_EQ(RunRename({}, h.engine, name, Devices(1)[0]), 1);
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].header.messageType(), MessageType::SetName);
    ASSERT_EQ(sent[0].payload.size(), 33u);
    const DeviceNameBlock block = DeviceNameBlock::FromBytes(sent[0].payload);
    EXPECT_EQ(block.ap_name(), name);
    EXPECT_EQ(block.ap_name_length(), 8);
}

TEST(DeviceWorkers, BridgeSwitchSendsOneByteToEveryDeviceAndStopsWhenAsked) {
    test::EngineHarness h;
    EXPECT_EQ(RunBridgeSwitch({}, h.engine, true, Devices(3)), 3);
    for (const auto& s : h.sender->All()) {
        EXPECT_EQ(s.header.messageType(), MessageType::SetTransparentBridge);
        EXPECT_EQ(s.payload, std::vector<uint8_t>{1});
    }
    h.sender->Clear();
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_EQ(RunBridgeSwitch(stopped.get_token(), h.engine, false, Devices(3)), 0);
    EXPECT_EQ(RunIpAssign(stopped.get_token(), h.engine, IpBatch{}, Devices(3)), 0);
    EXPECT_EQ(RunRename(stopped.get_token(), h.engine, "x", Devices(1)[0]), 0);
    EXPECT_TRUE(h.sender->All().empty());
}

TEST(WorkerSlotRuns, ANewWorkerStopsThePreviousOneFirst) {
    WorkerSlot slot;
    std::atomic<bool> firstStopped{false};
    std::atomic<bool> secondRan{false};
    slot.Start([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            std::this_thread::yield();
        }
        firstStopped = true;
    });
    slot.Start([&](std::stop_token) { secondRan = firstStopped.load(); });
    slot.Stop();
    EXPECT_TRUE(firstStopped);
    EXPECT_TRUE(secondRan) << "the second began only after the first had ended";
}

} // namespace
} // namespace rf
