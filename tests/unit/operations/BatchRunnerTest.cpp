// The operations' batches over an engine whose packets go into a recorder; the devices' answers are fed
// into the engine as if they had come from the network.
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "operations/DeviceOutcome.h"
#include "protocol/DeviceNameBlock.h"
#include "support/EngineHarness.h"
#include "support/WaitFor.h"

#include <future>
#include <gtest/gtest.h>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr const char* kOffSubnet = "172.16.0.9";

SelectedDevice Device(int i, const std::string& ip = {}) {
    return SelectedDevice::Make(ip.empty() ? "192.168.1." + std::to_string(20 + i) : ip,
                                "02:00:00:00:00:0" + std::to_string(i), 257);
}

std::vector<SelectedDevice> Devices(int n) {
    std::vector<SelectedDevice> devices;
    for (int i = 1; i <= n; ++i) {
        devices.push_back(Device(i));
    }
    return devices;
}

// A device as the store knows it after its details came.
void Store(test::EngineHarness& h, const SelectedDevice& device, const std::string& name = "radio",
           uint8_t bridge = 0) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(device.Ip()));
    info.set_ap_name(name);
    info.set_bridge_transparent(bridge);
    h.store.SaveDeviceInfo(ApInfo::Make(device.Mac(), 257, 1, info));
}

// The engine's answer to a GetInfo: the device's details, as the device now reports them.
void AnswerDetails(test::EngineHarness& h, const SelectedDevice& device, const std::string& ip,
                   const std::string& name, uint8_t bridge = 0) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(ip));
    info.set_ap_name(name);
    info.set_bridge_transparent(bridge);
    h.engine.DispatchReply(test::FromDevice(ip, MessageType::GetInfo, device.Mac(), info.bytes()));
}

void Answer(test::EngineHarness& h, const SelectedDevice& device, MessageType type, uint8_t result = 0,
            const std::string& from = {}) {
    const std::vector<uint8_t> payload{result};
    h.engine.DispatchReply(test::FromDevice(from.empty() ? device.Ip() : from, type, device.Mac(), payload));
}

bool Sent(test::EngineHarness& h, MessageType type, const std::string& mac, int times = 1) {
    return test::WaitFor([&] { return h.sender->Count(type, mac) >= times; });
}

TEST(BatchRunner, EachDeviceEndsVerifiedNoAnswerRefusedOrNotSent) {
    test::EngineHarness h;
    // Devices 1-3 are online in the PC's subnet; 4 is stored at an address no adapter reaches.
    const std::vector<SelectedDevice> devices{Device(1), Device(2), Device(3), Device(4, kOffSubnet)};
    for (const auto& d : devices) {
        Store(h, d);
    }
    auto running = std::async(std::launch::async,
                              [&] { return RunBatch(h.engine, h.store, PlanReboot(h.store, devices), {}); });
    ASSERT_TRUE(Sent(h, MessageType::Reboot, devices[2].Mac()));
    Answer(h, devices[0], MessageType::Reboot, 0);
    Answer(h, devices[1], MessageType::Reboot, 1);
    h.DropUnanswered(); // device 3 never answers
    const BatchResult result = running.get();
    ASSERT_EQ(result.devices.size(), 4u);
    EXPECT_EQ(result.devices[0].outcome, DeviceOutcome::Verified) << "its status reads Restarting";
    EXPECT_EQ(result.devices[1].outcome, DeviceOutcome::Refused);
    EXPECT_EQ(result.devices[2].outcome, DeviceOutcome::NoAnswer);
    EXPECT_EQ(result.devices[3].outcome, DeviceOutcome::NotSent);
    EXPECT_FALSE(result.AllSucceeded());
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo), 0) << "a reboot is judged by the status it leaves";
}

// Device `station` stored as a station bridged to device `accessPoint`.
void StoreBridged(test::EngineHarness& h, const SelectedDevice& accessPoint, const SelectedDevice& station) {
    const MacAddress apRadio = MacTextToBytes("0a:00:00:00:00:aa");
    DeviceInfo ap;
    ap.set_ip(IpTextToBytes(accessPoint.Ip()));
    ap.set_ssid_mac(apRadio);
    h.store.SaveDeviceInfo(ApInfo::Make(accessPoint.Mac(), 257, 1, ap));
    DeviceInfo sta;
    sta.set_ip(IpTextToBytes(station.Ip()));
    sta.set_work_mode(2); // station
    sta.set_bridge_mac(apRadio);
    h.store.SaveDeviceInfo(ApInfo::Make(station.Mac(), 257, 1, sta));
}

std::vector<std::string> SentMacs(test::EngineHarness& h, MessageType type) {
    std::vector<std::string> macs;
    for (const auto& s : h.sender->All()) {
        if (!s.search && s.header.messageType() == type) {
            macs.push_back(MacBytesToText(s.header.mac));
        }
    }
    return macs;
}

TEST(RestartOrder, AccessPointsCarryingAStationGoFirstAndOnlyTheLastOfThemPauses) {
    test::EngineHarness h;
    const auto devices = Devices(5);
    for (const auto& d : devices) {
        Store(h, d);
    }
    StoreBridged(h, devices[3], devices[0]); // device 4 carries station 1
    const BatchPlan reboot = PlanReboot(h.store, devices);
    const BatchPlan reset = PlanReset(h.store, devices);
    for (const BatchPlan* plan : {&reboot, &reset}) {
        ASSERT_EQ(plan->items.size(), 5u);
        EXPECT_EQ(plan->items[0].mac, devices[3].Mac()) << "the access point leads";
        EXPECT_EQ(plan->items[1].mac, devices[0].Mac()) << "the rest keep the grid order";
        EXPECT_EQ(plan->items[4].mac, devices[4].Mac());
        EXPECT_EQ(plan->items[0].pauseAfter, std::chrono::milliseconds(200));
        for (size_t i = 1; i < plan->items.size(); ++i) {
            EXPECT_EQ(plan->items[i].pauseAfter, std::chrono::milliseconds(0)) << i;
        }
    }
    EXPECT_EQ(reset.type, MessageType::Restore);

    // With no access point in the batch (or nothing but access points), nobody waits.
    const BatchPlan plain = PlanReboot(h.store, {devices[1], devices[2]});
    const BatchPlan onlyAp = PlanReboot(h.store, {devices[3]});
    for (const BatchPlan* plan : {&plain, &onlyAp}) {
        for (const BatchItem& item : plan->items) {
            EXPECT_EQ(item.pauseAfter, std::chrono::milliseconds(0));
        }
    }
}

TEST(RestartOrder, TheAccessPointsRequestLeavesFirstAndAStopDuringThePauseSendsNoMore) {
    test::EngineHarness h;
    const auto devices = Devices(3);
    for (const auto& d : devices) {
        Store(h, d);
    }
    StoreBridged(h, devices[2], devices[0]);
    {
        auto running = std::async(std::launch::async, [&] {
            return RunBatch(h.engine, h.store, PlanReboot(h.store, devices), {});
        });
        ASSERT_TRUE(Sent(h, MessageType::Reboot, devices[1].Mac()));
        EXPECT_EQ(SentMacs(h, MessageType::Reboot),
                  (std::vector<std::string>{devices[2].Mac(), devices[0].Mac(), devices[1].Mac()}));
        for (const auto& d : devices) {
            Answer(h, d, MessageType::Reboot);
        }
        EXPECT_TRUE(running.get().AllSucceeded());
    }

    // A pause far longer than any test: only a stop can end it, and the devices after it are not sent.
    BatchPlan plan = PlanReboot(h.store, devices);
    plan.items[0].pauseAfter = std::chrono::hours(1);
    std::stop_source stop;
    const int before = h.sender->Count(MessageType::Reboot);
    auto running =
        std::async(std::launch::async, [&] { return RunBatch(h.engine, h.store, plan, stop.get_token()); });
    ASSERT_TRUE(test::WaitFor([&] { return h.sender->Count(MessageType::Reboot) == before + 1; }));
    stop.request_stop();
    const BatchResult result = running.get();
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), before + 1);
    ASSERT_EQ(result.devices.size(), 3u);
    EXPECT_EQ(result.devices[1].outcome, DeviceOutcome::Cancelled);
    EXPECT_EQ(result.devices[2].outcome, DeviceOutcome::Cancelled);
}

TEST(BatchRunner, ARenameIsVerifiedOnlyWhenTheDevicesDetailsShowTheNewName) {
    test::EngineHarness h;
    const auto devices = Devices(2);
    for (const auto& d : devices) {
        h.engine.OnAnnounce(test::FromDevice(d.Ip(), MessageType::Search, d.Mac(), {}, 257, 9785));
        AnswerDetails(h, d, d.Ip(), "old");
    }
    const std::string name = "\xe5\x8c\x97\xe7\xab\x99-7"; // two ideographs and "-7"
    for (size_t i = 0; i < devices.size(); ++i) {
        const SelectedDevice& d = devices[i];
        auto running = std::async(std::launch::async,
                                  [&] { return RunBatch(h.engine, h.store, PlanRename(d, name), {}); });
        ASSERT_TRUE(Sent(h, MessageType::SetName, d.Mac()));
        const auto sent = h.sender->All();
        const DeviceNameBlock block = DeviceNameBlock::FromBytes(sent.back().payload);
        EXPECT_EQ(block.ap_name(), name);
        EXPECT_EQ(block.ap_name_length(), 8);
        Answer(h, d, MessageType::SetName);
        ASSERT_TRUE(Sent(h, MessageType::GetInfo, d.Mac(), 2)) << "its details are asked for again";
        AnswerDetails(h, d, d.Ip(), i == 0 ? name : "old"); // the second kept its name
        EXPECT_EQ(running.get().devices[0].outcome,
                  i == 0 ? DeviceOutcome::Verified : DeviceOutcome::NotApplied);
    }
}

TEST(BatchRunner, ARangeSkipsAddressesInUseAndTheDevicesLeftOverAreNotSent) {
    test::EngineHarness h;
    const auto devices = Devices(3);
    IpBatch batch{IpTextToBytes("192.168.1.254"),
                  IpTextToBytes("192.168.2.2"),
                  IpTextToBytes("255.255.255.0"),
                  IpTextToBytes("192.168.1.1"),
                  {},
                  {}};
    const auto inUse = [](const Ipv4Bytes& ip) { return IpBytesToText(ip) == "192.168.2.1"; };
    const BatchPlan plan = PlanIpRange(batch, devices, inUse);
    std::stop_source stop;
    auto running =
        std::async(std::launch::async, [&] { return RunBatch(h.engine, h.store, plan, stop.get_token()); });
    ASSERT_TRUE(Sent(h, MessageType::SetIp, devices[1].Mac()));
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(IpBytesToText({sent[0].payload[1], sent[0].payload[2], sent[0].payload[3], sent[0].payload[4]}),
              "192.168.1.254");
    EXPECT_EQ(IpBytesToText({sent[1].payload[1], sent[1].payload[2], sent[1].payload[3], sent[1].payload[4]}),
              "192.168.2.2");
    EXPECT_EQ(sent[0].payload[0], 1) << "static";
    EXPECT_EQ(sent[0].payload[21], 1) << "applied at once";
    // The first answers from its new address; the batch is then stopped while the second is unanswered.
    Answer(h, devices[0], MessageType::SetIp, 0, "192.168.1.254");
    stop.request_stop();
    const BatchResult result = running.get();
    EXPECT_EQ(result.devices[1].outcome, DeviceOutcome::Cancelled);
    EXPECT_EQ(result.devices[2].outcome, DeviceOutcome::NotSent) << "no address was left for it";
    EXPECT_EQ(h.sender->Count(MessageType::SetIp, devices[2].Mac()), 0);
}

TEST(BatchRunner, ASetIpAnsweredFromTheNewAddressIsVerifiedThere) {
    test::EngineHarness h(
        {test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"10.0.5.10", "255.255.255.0"}})});
    const SelectedDevice device = Device(1);
    Store(h, device);
    h.engine.OnAnnounce(test::FromDevice(device.Ip(), MessageType::Search, device.Mac(), {}, 257, 9785));
    AnswerDetails(h, device, device.Ip(), "radio");
    const auto block =
        BuildStaticIpBlock(IpTextToBytes("10.0.5.77"), IpTextToBytes("255.255.255.0"), {}, {}, {});
    auto running = std::async(std::launch::async,
                              [&] { return RunBatch(h.engine, h.store, PlanSetIp(device, block), {}); });
    ASSERT_TRUE(Sent(h, MessageType::SetIp, device.Mac()));
    Answer(h, device, MessageType::SetIp, 0, "10.0.5.77");
    ASSERT_TRUE(Sent(h, MessageType::GetInfo, device.Mac(), 2)) << "details asked at the new address";
    EXPECT_EQ(h.sender->All().back().via, *ParseIpv4("10.0.5.10"));
    AnswerDetails(h, device, "10.0.5.77", "radio");
    const BatchResult result = running.get();
    EXPECT_EQ(result.devices[0].outcome, DeviceOutcome::Verified);
    EXPECT_TRUE(h.engine.PendingRequests().empty()) << "the answer from the new address ended the request";
}

TEST(BatchRunner, TheSummaryCountsEachOutcomeAndTheDetailNamesEveryDevice) {
    BatchResult result;
    result.devices = {{"02:00:00:00:00:01", "10.0.0.1", DeviceOutcome::Verified},
                      {"02:00:00:00:00:02", "10.0.0.2", DeviceOutcome::NoAnswer},
                      {"02:00:00:00:00:03", "10.0.0.3", DeviceOutcome::Verified}};
    EXPECT_EQ(BatchSummaryText("Set IP", result), "Set IP: 2 verified, 1 no answer");
    EXPECT_EQ(BatchDetailText(result), "02:00:00:00:00:01  10.0.0.1  verified\n"
                                       "02:00:00:00:00:02  10.0.0.2  no answer\n"
                                       "02:00:00:00:00:03  10.0.0.3  verified");
}

TEST(BatchRunner, TheUnreachedLineNamesSilentAndUnsentDevicesOnly) {
    BatchResult result;
    result.devices = {{"02:00:00:00:00:01", "10.0.0.1", DeviceOutcome::Verified},
                      {"02:00:00:00:00:02", "10.0.0.2", DeviceOutcome::NoAnswer},
                      {"02:00:00:00:00:03", "10.0.0.3", DeviceOutcome::Refused},
                      {"02:00:00:00:00:04", "172.16.0.4", DeviceOutcome::NotSent},
                      {"02:00:00:00:00:05", "10.0.0.5", DeviceOutcome::Cancelled}};
    EXPECT_EQ(BatchUnreachedText(result), "not reached: 02:00:00:00:00:02, 02:00:00:00:00:04")
        << "a refusal is an answer; a cancelled request says nothing about the device";
    result.devices.erase(result.devices.begin() + 1);
    result.devices.erase(result.devices.begin() + 2);
    EXPECT_EQ(BatchUnreachedText(result), "");
}

TEST(Eligibility, TheTransparentBridgeSwitchSkipsModelsAndModesWithoutOne) {
    EXPECT_TRUE(HasTransparentBridge(257, 0));
    EXPECT_FALSE(HasTransparentBridge(4, 0));
    EXPECT_FALSE(HasTransparentBridge(261, 0));
    for (int mode = 4; mode <= 7; ++mode) {
        EXPECT_FALSE(HasTransparentBridge(257, mode)) << mode;
    }
    EXPECT_TRUE(HasTransparentBridge(257, 8));
}

} // namespace
} // namespace rf
