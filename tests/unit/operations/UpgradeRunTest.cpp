// The upgrade run's checks and phases over an engine whose packets go into a recorder; the devices'
// reports are fed into the engine as if they had come from the network, and the test gives the ticks.
#include "operations/UpgradeRun.h"
#include "core/ServedFileName.h"
#include "operations/UpgradeChecks.h"
#include "operations/UpgradeResult.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/ApInfo.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

constexpr int32_t kHorsk = 257, kHirta = 258;
constexpr const char* kOffSubnet = "172.16.0.9";

SelectedDevice Device(int i, int32_t model = kHorsk, const std::string& ip = {}) {
    return SelectedDevice::Make(ip.empty() ? "192.168.1." + std::to_string(20 + i) : ip,
                                "02:00:00:00:00:0" + std::to_string(i), model);
}

void Store(test::EngineHarness& h, const SelectedDevice& device, const std::string& version = "V1") {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(device.Ip()));
    info.set_version(version);
    h.store.SaveDeviceInfo(ApInfo::Make(device.Mac(), static_cast<uint16_t>(device.model), 1, info));
}

// What the device reports on its fetch: 0 fetched and waiting, 1 failed, 2 done.
void Report(test::EngineHarness& h, const SelectedDevice& device, uint8_t state) {
    const std::vector<uint8_t> payload{state};
    h.engine.DispatchReply(
        test::FromDevice(device.Ip(), MessageType::UpgradeReport, device.Mac(), payload, 0));
}

// The device's details, as it reports them after the search that found it again.
void AnswerDetails(test::EngineHarness& h, const SelectedDevice& device, const std::string& version) {
    AnnounceRecord record;
    record.set_version(version);
    h.engine.OnAnnounce(test::FromDevice(device.Ip(), MessageType::Search, device.Mac(), record.bytes(),
                                         static_cast<uint16_t>(device.model), 9785));
    DeviceInfo info;
    info.set_ip(IpTextToBytes(device.Ip()));
    info.set_version(version);
    h.engine.DispatchReply(test::FromDevice(device.Ip(), MessageType::GetInfo, device.Mac(), info.bytes(),
                                            static_cast<uint16_t>(device.model)));
}

const UpgradeFile kFile{"/tmp/", "V2.bin", 4096};

struct Fixture {
    explicit Fixture(std::vector<SelectedDevice> devices, int32_t model = kHorsk,
                     UpgradeRun::Options options = {})
        : selected(std::move(devices)) {
        for (const auto& d : selected) {
            Store(h, d);
        }
        run.emplace(h.engine, h.store, selected, UpgradeType{ModelText(model), model}, kFile, options);
    }
    // Ticks until the run is in phase, or n ticks have gone; the steps taken.
    std::vector<UpgradeRun::Step> Ticks(int n) {
        std::vector<UpgradeRun::Step> steps;
        for (int i = 0; i < n && !run->Finished(); ++i) {
            steps.push_back(run->Tick());
        }
        return steps;
    }
    test::EngineHarness h;
    std::vector<SelectedDevice> selected;
    std::optional<UpgradeRun> run;
};

TEST(UpgradeChecks, CountFileNameAndFileAreCheckedBeforeAnythingIsSent) {
    EXPECT_EQ(CheckUpgradeCount(0), "Please select the devices!");
    EXPECT_EQ(CheckUpgradeCount(1), "");
    EXPECT_EQ(CheckUpgradeCount(10), "");
    EXPECT_EQ(CheckUpgradeCount(11), "Maximum selection of 10 devices!");

    EXPECT_EQ(CheckUpgradeFileName(""), "Please select the upgrade file!");
    EXPECT_EQ(CheckUpgradeFileName("/fw/a.bin"), "");
    EXPECT_EQ(CheckUpgradeFileName("/fw/a.BIN"), "");
    EXPECT_EQ(CheckUpgradeFileName("/fw/a.Bin"), "Upgrade file is not .bin file!");
    EXPECT_EQ(CheckUpgradeFileName("/fw/a.bin.txt"), "Upgrade file is not .bin file!");
    EXPECT_EQ(CheckUpgradeFileName("bin"), "Upgrade file is not .bin file!");

    test::TempDir dir;
    std::string refusal;
    const auto file = ReadUpgradeFile(dir.Write("fw/V2.bin", "image").string(), refusal);
    ASSERT_TRUE(file) << refusal;
    EXPECT_EQ(file->folder, dir.Dir() + "fw/");
    EXPECT_EQ(file->name, "V2.bin");
    EXPECT_EQ(file->size, 5u);
    EXPECT_FALSE(ReadUpgradeFile(dir.Write("empty.bin", "").string(), refusal));
    EXPECT_EQ(refusal, "The upgrade file is empty!");
    EXPECT_FALSE(ReadUpgradeFile(dir.Dir() + "missing.bin", refusal));
    EXPECT_EQ(refusal, "The upgrade file cannot be read!");
    EXPECT_FALSE(ReadUpgradeFile(dir.Dir() + "fw", refusal)) << "a folder is no file";
    EXPECT_EQ(refusal, "The upgrade file cannot be read!");

    // Files the firmware server would refuse to hand out are refused here, with the server's own rule.
    std::filesystem::create_symlink(dir.Path() / "fw" / "V2.bin", dir.Path() / "link.bin");
    for (const std::string& path : {dir.Write("fw..V3.bin", "image").string(), dir.Dir() + "link.bin"}) {
        refusal.clear();
        EXPECT_FALSE(ReadUpgradeFile(path, refusal)) << path;
        EXPECT_EQ(refusal, kUnservableFileKey) << path;
    }
    // The server runs in a folder of its own, so a relative path is given to it as an absolute folder.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const auto relative = ReadUpgradeFile("fw/V2.bin", refusal);
    std::filesystem::current_path(here);
    ASSERT_TRUE(relative) << refusal;
    EXPECT_EQ(relative->folder, dir.Dir() + "fw/");
}

TEST(UpgradeChecks, TypeListHasOneEntryPerModelInRowOrderAndFindsByTextOrCode) {
    const std::vector<SelectedDevice> devices{Device(1, kHirta), Device(2, kHorsk), Device(3, kHirta),
                                              Device(4, 9999)};
    const auto types = UpgradeTypes(devices);
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0].text, "Hirta");
    EXPECT_EQ(types[0].model, kHirta);
    EXPECT_EQ(types[1].text, "Horsk");
    EXPECT_EQ(types[2].text, ModelText(9999)) << "an unknown code shows as the default model";
    EXPECT_EQ(types[2].model, kDefaultModelCode);
    EXPECT_EQ(FindUpgradeType(types, "Horsk")->model, kHorsk);
    EXPECT_EQ(FindUpgradeType(types, "258")->text, "Hirta");
    EXPECT_FALSE(FindUpgradeType(types, "horsk")) << "model texts compare exactly";
    EXPECT_FALSE(FindUpgradeType(types, "260"));
}

TEST(UpgradeRun, OnlyTheChosenModelIsSentTheFileAndAnEarlierFailureIsClearedFirst) {
    Fixture f({Device(1, kHirta), Device(2), Device(3, kHirta), Device(4)}, kHirta);
    f.h.store.SetDeviceStatus(f.selected[2].Mac(), DeviceStatus::UpgradeFail);
    f.h.store.SetDeviceStatus(f.selected[3].Mac(), DeviceStatus::UpgradeFail);
    f.run->SendBatch({});
    EXPECT_EQ(f.h.sender->Count(MessageType::Upgrade, f.selected[0].Mac()), 1);
    EXPECT_EQ(f.h.sender->Count(MessageType::Upgrade, f.selected[2].Mac()), 1);
    EXPECT_EQ(f.h.sender->Count(MessageType::Upgrade), 2);
    const auto sent = f.h.sender->All();
    const auto info = UpgradeFileInfo::FromBytes(sent.front().payload);
    EXPECT_EQ(info.file_name(), "V2.bin");
    EXPECT_EQ(info.file_size(), 4096u);
    EXPECT_EQ(f.h.store.GetDeviceStatus(f.selected[2].Mac()), DeviceStatus::Online) << "sent again";
    EXPECT_EQ(f.h.store.GetDeviceStatus(f.selected[3].Mac()), DeviceStatus::UpgradeFail) << "not this type";

    // Every ticked row's status is read, the other model's too.
    f.run->Tick();
    EXPECT_EQ(f.run->Statuses()[3], DeviceStatus::UpgradeFail);
}

TEST(UpgradeRun, AllReportedPollsTheWaitingOnesAndTheUpgradePhaseSearchesOnTicks124127And130) {
    Fixture f({Device(1), Device(2), Device(3)});
    f.run->SendBatch({});
    f.Ticks(5);
    EXPECT_EQ(f.run->phase(), UpgradeRun::Phase::Transfer);
    EXPECT_EQ(f.run->Position(), 5);
    EXPECT_EQ(f.run->Range(), UpgradeRun::kTransferLimit);
    Report(f.h, f.selected[0], 0);
    Report(f.h, f.selected[1], 2);
    f.Ticks(3);
    EXPECT_FALSE(f.run->BatchFinished()) << "device 3 has not reported";
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll), 0);
    Report(f.h, f.selected[2], 0);
    const UpgradeRun::Step step = f.run->Tick();
    EXPECT_TRUE(f.run->BatchFinished());
    EXPECT_TRUE(step.upgradePhaseBegun) << "the transfer phase ends with the batch";
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll, f.selected[0].Mac()), 1);
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll, f.selected[1].Mac()), 0) << "already done";
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll, f.selected[2].Mac()), 1);
    EXPECT_EQ(f.run->Range(), UpgradeRun::kUpgradeLimit);

    std::vector<int> searchTicks;
    for (int tick = 1; !f.run->Finished(); ++tick) {
        if (f.run->Tick().searched) {
            searchTicks.push_back(tick);
        }
        ASSERT_LE(tick, UpgradeRun::kUpgradeLimit);
    }
    EXPECT_EQ(searchTicks, (std::vector<int>{124, 127, 130}));
    EXPECT_EQ(f.run->Position(), UpgradeRun::kUpgradeLimit);
    EXPECT_EQ(f.h.sender->Count(MessageType::GetInfo, f.selected[0].Mac()), 3)
        << "the searches also ask the devices for the version they came back with";
}

TEST(UpgradeRun, SilentDevicesHoldTheTransferPhaseFor120TicksThenTheWaitingOneIsPolled) {
    Fixture f({Device(1), Device(2)});
    f.run->SendBatch({});
    Report(f.h, f.selected[0], 0);
    f.Ticks(UpgradeRun::kTransferLimit - 1);
    EXPECT_EQ(f.run->phase(), UpgradeRun::Phase::Transfer);
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll), 0);
    EXPECT_TRUE(f.run->Tick().upgradePhaseBegun);
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll, f.selected[0].Mac()), 1);
    f.Ticks(UpgradeRun::kUpgradeLimit);
    const auto results = f.run->Results();
    EXPECT_EQ(results[0].outcome, UpgradeOutcome::NoReport) << "fetched, but never said it was done";
    EXPECT_EQ(results[1].outcome, UpgradeOutcome::NoReport);
}

TEST(UpgradeRun, EveryDeviceFailedEndsTheRunAfterTheTransferPhase) {
    Fixture f({Device(1), Device(2), Device(3, kHirta)});
    f.run->SendBatch({});
    Report(f.h, f.selected[0], 1);
    f.Ticks(2);
    EXPECT_FALSE(f.run->Finished()) << "device 2 has not reported";
    Report(f.h, f.selected[1], 1);
    const UpgradeRun::Step step = f.run->Tick();
    EXPECT_TRUE(step.finished);
    EXPECT_FALSE(step.upgradePhaseBegun);
    EXPECT_TRUE(f.run->EndedEarly());
    EXPECT_EQ(f.h.sender->Count(MessageType::UpgradePoll), 0);
    const auto results = f.run->Results();
    EXPECT_EQ(results[0].outcome, UpgradeOutcome::Failed);
    EXPECT_EQ(results[1].outcome, UpgradeOutcome::Failed);
    EXPECT_EQ(results[2].outcome, UpgradeOutcome::NotThisType);
    EXPECT_FALSE(AllUpgraded(results));
}

TEST(UpgradeRun, OutcomesReadTheVersionFromTheFinalDiscoveryAndTheSummaryNamesTheMisses) {
    const SelectedDevice off = Device(4, kHorsk, kOffSubnet);
    Fixture f({Device(1), Device(2), Device(3), off, Device(5, kHirta)});
    f.run->SendBatch({});
    Report(f.h, f.selected[0], 0);
    Report(f.h, f.selected[1], 1);
    f.Ticks(1);
    Report(f.h, f.selected[0], 2);
    // The search answer after the reboot rewrites the stored status as "Online"; the success seen
    // before still counts.
    f.Ticks(UpgradeRun::kUpgradeLimit - 10);
    AnswerDetails(f.h, f.selected[0], "V2");
    f.Ticks(UpgradeRun::kTransferLimit + UpgradeRun::kUpgradeLimit);
    ASSERT_TRUE(f.run->Finished());
    const auto results = f.run->Results();
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].outcome, UpgradeOutcome::Upgraded);
    EXPECT_EQ(UpgradeOutcomeText(results[0]), "upgraded V1 -> V2");
    EXPECT_EQ(results[1].outcome, UpgradeOutcome::Failed);
    EXPECT_EQ(results[2].outcome, UpgradeOutcome::NoReport);
    EXPECT_EQ(results[3].outcome, UpgradeOutcome::NotSent);
    EXPECT_EQ(results[4].outcome, UpgradeOutcome::NotThisType);
    EXPECT_EQ(UpgradeSummaryText(results),
              "Device upgrade: 1 upgraded, 1 upgrade failed, 1 no report, 1 not sent; not upgraded: " +
                  f.selected[1].Mac() + ", " + f.selected[2].Mac() + ", " + off.Mac());
}

TEST(UpgradeRun, EndingWhenSettledStillSearchesAndEndsOnceTheNewVersionIsStored) {
    Fixture f({Device(1), Device(2), Device(3, kHirta)}, kHorsk, {true});
    f.run->SendBatch({});
    Report(f.h, f.selected[0], 0);
    Report(f.h, f.selected[1], 2);
    f.Ticks(2);
    ASSERT_EQ(f.run->phase(), UpgradeRun::Phase::Upgrade);
    f.Ticks(10);
    EXPECT_FALSE(f.run->Finished()) << "device 1 still flashes";
    Report(f.h, f.selected[0], 2);
    const UpgradeRun::Step step = f.run->Tick();
    EXPECT_TRUE(step.searched) << "the searches come at once";
    EXPECT_FALSE(step.finished) << "the new version is not stored yet";
    AnswerDetails(f.h, f.selected[0], "V2");
    AnswerDetails(f.h, f.selected[1], "V2");
    EXPECT_TRUE(f.run->Tick().finished);
    EXPECT_TRUE(AllUpgraded(f.run->Results()));
}

TEST(UpgradeRun, AStatusLeftByAnEarlierSuccessIsNotTakenForThisRunsReport) {
    Fixture f({Device(1)});
    f.h.store.SetDeviceStatus(f.selected[0].Mac(), DeviceStatus::UpgradeSuccess);
    f.run->SendBatch({});
    f.Ticks(UpgradeRun::kTransferLimit + UpgradeRun::kUpgradeLimit);
    EXPECT_EQ(f.run->Results()[0].outcome, UpgradeOutcome::NoReport);
}

TEST(UpgradeRun, TicksBeforeTheBatchIsSentOnlyAdvanceTheTransferPhase) {
    Fixture f({Device(1)});
    f.Ticks(3);
    EXPECT_FALSE(f.run->BatchFinished());
    EXPECT_EQ(f.run->Position(), 3);
    f.run->SendBatch({});
    Report(f.h, f.selected[0], 1);
    EXPECT_TRUE(f.run->Tick().finished);
}

TEST(UpgradeRun, AStoppedBatchLeavesTheRestNotSentAndEndsTheRunAtOnce) {
    Fixture f({Device(1), Device(2)});
    std::stop_source stop;
    stop.request_stop();
    f.run->SendBatch(stop.get_token());
    EXPECT_EQ(f.h.sender->Count(MessageType::Upgrade), 0);
    EXPECT_TRUE(f.run->Tick().finished);
    EXPECT_EQ(f.run->Results()[1].outcome, UpgradeOutcome::NotSent);
}

} // namespace
} // namespace rf
