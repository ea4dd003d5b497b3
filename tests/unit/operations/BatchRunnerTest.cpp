// The operations' batches over an engine whose packets go into a recorder; the devices' answers are fed
// into the engine as if they had come from the network.
#include "operations/BatchRunner.h"
#include "operations/ConfigurationSave.h"
#include "operations/DeviceOperations.h"
#include "operations/DeviceOutcome.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceNameBlock.h"
#include "support/EngineHarness.h"
#include "support/WaitFor.h"

#include <algorithm>
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
                   const std::string& name, uint8_t bridge = 0, uint32_t upTime = 0) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(ip));
    info.set_ap_name(name);
    info.set_bridge_transparent(bridge);
    info.set_up_time(upTime);
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
        h.engine.OnAnnounce(
            test::FromDevice(d.Ip(), MessageType::Search, d.Mac(), AnnounceRecord().bytes(), 257, 9785));
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
    h.engine.OnAnnounce(test::FromDevice(device.Ip(), MessageType::Search, device.Mac(),
                                         AnnounceRecord().bytes(), 257, 9785));
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

// Runs the engine's resends until the device's request of this type has had its last one, unanswered.
void LoseAnswer(test::EngineHarness& h, MessageType type, const std::string& mac) {
    const auto pending = [&] {
        const auto all = h.engine.PendingRequests();
        return std::any_of(all.begin(), all.end(), [&](const PendingRequest& r) {
            return r.type == static_cast<int>(type) && r.mac == mac;
        });
    };
    ASSERT_TRUE(test::WaitFor(pending));
    while (pending()) {
        h.clock->Advance(std::chrono::hours(1));
        h.engine.RetransmitPass();
    }
}

TEST(BatchRunner, ARequestWhoseAnswerWasLostIsJudgedByWhatTheDeviceNowHolds) {
    test::EngineHarness h(
        {test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"10.0.5.10", "255.255.255.0"}})});
    const auto devices = Devices(3);
    for (const auto& d : devices) {
        h.engine.OnAnnounce(
            test::FromDevice(d.Ip(), MessageType::Search, d.Mac(), AnnounceRecord().bytes(), 257, 9785));
        AnswerDetails(h, d, d.Ip(), "old", 0, 5000);
    }
    // Two renames without an answer: the first device holds the new name, the second does not.
    for (size_t i = 0; i < 2; ++i) {
        const BatchPlan rename = PlanRename(devices[i], "lost-7");
        auto running =
            std::async(std::launch::async, [&] { return RunBatch(h.engine, h.store, rename, {}); });
        LoseAnswer(h, MessageType::SetName, devices[i].Mac());
        ASSERT_TRUE(Sent(h, MessageType::GetInfo, devices[i].Mac(), 2))
            << "its details are asked for all the same";
        AnswerDetails(h, devices[i], devices[i].Ip(), i == 0 ? "lost-7" : "old", 0, 5100);
        const BatchResult result = running.get();
        EXPECT_EQ(result.devices[0].outcome,
                  i == 0 ? DeviceOutcome::VerifiedAnswerLost : DeviceOutcome::NoAnswer);
        EXPECT_EQ(result.AllSucceeded(), i == 0);
        EXPECT_EQ(DeviceLineText(rename, 0, result.devices[0]),
                  devices[i].Mac() + "  " + devices[i].Ip() + "  " +
                      (i == 0 ? "renamed to lost-7 (its answer was lost)" : "no answer"));
    }
    // A move whose answer was lost is looked for at the new address.
    const BatchPlan move =
        PlanSetIp(devices[2],
                  BuildStaticIpBlock(IpTextToBytes("10.0.5.77"), IpTextToBytes("255.255.255.0"), {}, {}, {}));
    auto moving = std::async(std::launch::async, [&] { return RunBatch(h.engine, h.store, move, {}); });
    LoseAnswer(h, MessageType::SetIp, devices[2].Mac());
    ASSERT_TRUE(Sent(h, MessageType::GetInfo, devices[2].Mac(), 2));
    EXPECT_EQ(h.sender->All().back().via, *ParseIpv4("10.0.5.10"));
    AnswerDetails(h, devices[2], "10.0.5.77", "old", 0, 5100);
    const BatchResult moved = moving.get();
    EXPECT_EQ(OutcomeText(move, 0, moved.devices[0]), "moved to 10.0.5.77 (its answer was lost)");

    // Two reboots without an answer: the first device comes back with a smaller up time, the second never.
    const BatchPlan reboot = PlanReboot(h.store, {devices[0], devices[1]});
    auto rebooting = std::async(std::launch::async, [&] { return RunBatch(h.engine, h.store, reboot, {}); });
    LoseAnswer(h, MessageType::Reboot, devices[1].Mac()); // the first device's request runs out with it
    ASSERT_TRUE(Sent(h, MessageType::GetInfo, devices[0].Mac(), 3)) << "it is watched for its return";
    AnswerDetails(h, devices[0], devices[0].Ip(), "lost-7", 0, 4);
    ASSERT_TRUE(Sent(h, MessageType::GetInfo, devices[1].Mac(), 3));
    AnswerDetails(h, devices[1], devices[1].Ip(), "old", 0, 5200); // up all along: it did not restart
    h.clock->Advance(std::chrono::hours(1));                       // the watch runs out
    const BatchResult rebooted = rebooting.get();
    EXPECT_EQ(rebooted.devices[0].outcome, DeviceOutcome::VerifiedAnswerLost);
    EXPECT_EQ(rebooted.devices[1].outcome, DeviceOutcome::NoAnswer);
    EXPECT_EQ(BatchSummaryText("Reboot", rebooted), "Reboot: 1 verified (answer lost), 1 no answer");
}

TEST(ConfigurationSave, ADeviceNotBackAfterTurningItsManagementVlanOnIsAnsweredAndNotChecked) {
    test::EngineHarness h;
    const SelectedDevice device = Device(1);
    h.engine.OnAnnounce(test::FromDevice(device.Ip(), MessageType::Search, device.Mac(),
                                         AnnounceRecord().bytes(), 257, 9785));
    AnswerDetails(h, device, device.Ip(), "old", 0, 5000);
    ap_info_stu record;
    ASSERT_TRUE(h.store.GetDevice(device.Mac(), record));
    ConfigChanges changes;
    changes.name = "Mast-4";
    changes.vlan = VlanSettingsBlock{1, 0, 12, 0, 34, 0, 0, 0, 0, 0}; // on: management 12, wireless 34
    const std::vector<BatchPlan> plans = PlanConfigure(device, record, changes);
    ASSERT_EQ(plans.size(), 2u);
    auto saving = std::async(std::launch::async,
                             [&] { return SaveConfiguration(h.engine, h.store, plans, changes, true, {}); });
    ASSERT_TRUE(Sent(h, MessageType::SetName, device.Mac()));
    Answer(h, device, MessageType::SetName);
    ASSERT_TRUE(Sent(h, MessageType::SetVlan, device.Mac()));
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, device.Mac()), 1) << "no details between the blocks";
    Answer(h, device, MessageType::SetVlan);
    ASSERT_TRUE(Sent(h, MessageType::GetInfo, device.Mac(), 2)) << "the wait asks for its details";
    // It never comes back: the minute runs out on the engine's clock, and so does the last look.
    ASSERT_TRUE(test::WaitFor([&] {
        h.clock->Advance(std::chrono::hours(1));
        h.DropUnanswered();
        return saving.wait_for(0s) == std::future_status::ready;
    }));
    const std::vector<BatchResult> results = saving.get();
    ASSERT_EQ(results.size(), 2u);
    for (const BatchResult& result : results) {
        EXPECT_EQ(result.devices[0].outcome, DeviceOutcome::Answered);
        EXPECT_TRUE(result.AllSucceeded()) << "out of reach is not a failure";
    }
    EXPECT_EQ(OutcomeText(plans[0], 0, results[0].devices[0]),
              "renamed to Mast-4 (answered; now in management VLAN 12, not checked)");
}

TEST(BatchRunner, TheSummaryCountsEachOutcomeAndTheDetailNamesEveryDevice) {
    BatchResult result;
    result.devices = {{"02:00:00:00:00:01", "10.0.0.1", DeviceOutcome::Verified, {}},
                      {"02:00:00:00:00:02", "10.0.0.2", DeviceOutcome::NoAnswer, {}},
                      {"02:00:00:00:00:03", "10.0.0.3", DeviceOutcome::Verified, {}}};
    EXPECT_EQ(BatchSummaryText("Set IP", result), "Set IP: 2 verified, 1 no answer");
    BatchPlan plan;
    plan.type = MessageType::SetIp;
    for (const DeviceResult& device : result.devices) {
        BatchItem item;
        item.mac = device.mac;
        item.ip = device.ip;
        item.detailIp = "10.0.1." + device.ip.substr(7);
        plan.items.push_back(item);
    }
    // The page's detail is the command line's lines, one per device.
    EXPECT_EQ(BatchDetailText(plan, result), "02:00:00:00:00:01  10.0.0.1  moved to 10.0.1.1 (verified)\n"
                                             "02:00:00:00:00:02  10.0.0.2  no answer\n"
                                             "02:00:00:00:00:03  10.0.0.3  moved to 10.0.1.3 (verified)");
    EXPECT_EQ(BatchDetailText(plan, result).substr(0, DeviceLineText(plan, 0, result.devices[0]).size()),
              DeviceLineText(plan, 0, result.devices[0]));
}

TEST(BatchRunner, TheUnreachedLineNamesSilentAndUnsentDevicesOnly) {
    BatchResult result;
    result.devices = {{"02:00:00:00:00:01", "10.0.0.1", DeviceOutcome::Verified, {}},
                      {"02:00:00:00:00:02", "10.0.0.2", DeviceOutcome::NoAnswer, {}},
                      {"02:00:00:00:00:03", "10.0.0.3", DeviceOutcome::Refused, {}},
                      {"02:00:00:00:00:04", "172.16.0.4", DeviceOutcome::NotSent, {}},
                      {"02:00:00:00:00:05", "10.0.0.5", DeviceOutcome::Cancelled, {}}};
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
