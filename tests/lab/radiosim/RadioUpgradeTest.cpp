// A radio's side of a firmware upgrade without sockets: what it answers and reports at each step.
#include "Radio.h"
#include "RadioFactory.h"
#include "RadioJson.h"
#include "SimOptions.h"

#include "protocol/UpgradeFileInfo.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

Radio MakeRadio(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--radios", "3", "--segment", "lab-r0,10.99.0.0/16"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    const auto options = ParseSimOptions(args, error);
    EXPECT_TRUE(options) << error;
    return MakeRadios(*options)[1];
}

std::vector<uint8_t> Request(const std::string& name, uint32_t size) {
    UpgradeFileInfo info;
    info.set_file_name(name);
    info.set_file_size(size);
    return {info.bytes().begin(), info.bytes().end()};
}

TEST(RadioUpgrade, FetchedImageIsReportedThenFlashedOnPollAndRunAfterTheReboot) {
    Radio radio = MakeRadio();
    auto outcome = radio.Execute(MessageType::Upgrade, Request("fw-V5.1.bin", 4096), 0);
    EXPECT_TRUE(outcome.reply);
    EXPECT_EQ(outcome.payload, std::vector<uint8_t>{0});
    EXPECT_TRUE(outcome.fetch);
    EXPECT_FALSE(outcome.report);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Fetching);
    EXPECT_EQ(radio.upgradeFile(), "fw-V5.1.bin");
    EXPECT_EQ(radio.upgradeSize(), 4096u);
    const uint32_t run = radio.upgradeRun();

    // The PC repeats its request when our reply was lost: no second download starts.
    outcome = radio.Execute(MessageType::Upgrade, Request("fw-V5.1.bin", 4096), 10);
    EXPECT_TRUE(outcome.reply);
    EXPECT_FALSE(outcome.fetch);
    EXPECT_EQ(radio.upgradeRun(), run);

    EXPECT_FALSE(radio.Execute(MessageType::UpgradePoll, {}, 20).flash) << "nothing fetched yet";
    EXPECT_EQ(radio.FinishFetch(true, 4096, 0x1234), kUpgradeFetched);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Waiting);
    outcome = radio.Execute(MessageType::UpgradePoll, {}, 30);
    EXPECT_TRUE(outcome.reply);
    EXPECT_EQ(outcome.payload, std::vector<uint8_t>{0});
    EXPECT_TRUE(outcome.flash);
    EXPECT_FALSE(radio.Execute(MessageType::UpgradePoll, {}, 40).flash) << "flashing starts once";
    EXPECT_FALSE(radio.BeginFlash());

    const uint32_t reboots = radio.reboots();
    radio.FinishFlash("V5.1", 1000, 2000);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Done);
    EXPECT_EQ(radio.reboots(), reboots + 1);
    EXPECT_TRUE(radio.Rebooting(2500));
    EXPECT_EQ(DeviceInfo::FromBytes(radio.Execute(MessageType::GetInfo, {}, 3500).payload).version(), "V5.1");
    const std::string json = RadioJson(radio, 3500);
    EXPECT_NE(json.find("\"upgrade_stage\":\"done\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"upgrade_checksum\":\"0000000000001234\""), std::string::npos) << json;

    EXPECT_TRUE(radio.Execute(MessageType::Upgrade, Request("fw-V5.2.bin", 10), 4000).fetch)
        << "a finished upgrade does not stop the next";
    EXPECT_EQ(radio.upgradeRun(), run + 1);
}

TEST(RadioUpgrade, SizeMismatchIncompleteFetchAndBadImagesAreReportedAsFailures) {
    Radio radio = MakeRadio();
    const std::string version = radio.info().version();
    radio.Execute(MessageType::Upgrade, Request("fw.bin", 4096), 0);
    EXPECT_EQ(radio.FinishFetch(true, 4095, 1), kUpgradeFailed);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Failed);
    EXPECT_EQ(radio.upgradeReceived(), 4095u);
    EXPECT_FALSE(radio.Execute(MessageType::UpgradePoll, {}, 0).flash);

    radio.Execute(MessageType::Upgrade, Request("fw.bin", 4096), 0);
    EXPECT_EQ(radio.FinishFetch(false, 4096, 1), kUpgradeFailed) << "the server ended the transfer";

    radio.upgradeFailing = true;
    radio.Execute(MessageType::Upgrade, Request("fw.bin", 4096), 0);
    EXPECT_EQ(radio.FinishFetch(true, 4096, 1), kUpgradeFailed) << "a radio told to reject the image";
    EXPECT_EQ(radio.info().version(), version);
}

TEST(RadioUpgrade, AnImageNamingAnotherModelIsFetchedAndThenRefused) {
    Radio radio = MakeRadio({"--models", "258,257"});
    ASSERT_EQ(radio.model(), 257) << "radio 1 takes the second model";
    const std::string version = radio.info().version();
    radio.Execute(MessageType::Upgrade, Request("fw.bin", 4096), 0);
    EXPECT_EQ(radio.FinishFetch(true, 4096, 1, "MODEL=258\nrest of the image"), kUpgradeFailed);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Failed);
    EXPECT_FALSE(radio.Execute(MessageType::UpgradePoll, {}, 0).flash);
    EXPECT_EQ(radio.info().version(), version);

    for (const char* head : {"MODEL=257\r\n", "MODEL=Horsk\n", "no model line", "", "xMODEL=258\n"}) {
        radio.Execute(MessageType::Upgrade, Request("fw.bin", 4096), 0);
        EXPECT_EQ(radio.FinishFetch(true, 4096, 1, head), kUpgradeFetched) << head;
        radio.StartReboot(0, 0); // forgets the fetched image, so that the next request fetches again
    }
    EXPECT_EQ(Radio::ImageModel("MODEL=Hirta\n"), 258);
    EXPECT_EQ(Radio::ImageModel("MODEL=258"), 258);
    EXPECT_EQ(Radio::ImageModel("MODEL=Nothing\n"), 0) << "a name of no model fits no radio";
    EXPECT_EQ(Radio::ImageModel("model=258"), std::nullopt);
}

TEST(RadioUpgrade, FailingRadiosAndShortRequestsFetchNothing) {
    Radio radio = MakeRadio({"--fail", "1"});
    ASSERT_TRUE(radio.failing);
    auto outcome = radio.Execute(MessageType::Upgrade, Request("fw.bin", 100), 0);
    EXPECT_EQ(outcome.payload, std::vector<uint8_t>{1});
    EXPECT_FALSE(outcome.fetch);
    EXPECT_EQ(outcome.report, kUpgradeFailed) << "told at once, so the PC need not wait";

    Radio healthy = MakeRadio();
    outcome = healthy.Execute(MessageType::Upgrade, std::vector<uint8_t>(267, 'a'), 0);
    EXPECT_EQ(outcome.payload, std::vector<uint8_t>{1});
    EXPECT_FALSE(outcome.fetch);
    outcome = healthy.Execute(MessageType::Upgrade, Request("", 100), 0);
    EXPECT_FALSE(outcome.fetch) << "no file named";
    EXPECT_EQ(healthy.upgradeStage(), UpgradeStage::Idle);
}

TEST(RadioUpgrade, RebootDuringTheDownloadLosesItAndMakesItsResultStale) {
    Radio radio = MakeRadio();
    radio.Execute(MessageType::Upgrade, Request("fw.bin", 100), 0);
    const uint32_t run = radio.upgradeRun();
    radio.StartReboot(10, 1000);
    EXPECT_EQ(radio.upgradeStage(), UpgradeStage::Idle);
    EXPECT_NE(radio.upgradeRun(), run);
}

TEST(RadioUpgrade, OptionsChooseFailingRadiosAndTheTransferShape) {
    std::string error;
    const auto options = ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--upgrade-fail", "0,2",
                                          "--flash-ms", "300", "--tftp-windowsize", "16", "--tftp-blksize",
                                          "512", "--upgrade-version", "V9", "--tftp-port", "6969"},
                                         error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->flashMs, 300);
    EXPECT_EQ(options->tftpWindowSize, 16);
    EXPECT_EQ(options->tftpBlockSize, 512);
    EXPECT_EQ(options->tftpPort, 6969);
    EXPECT_EQ(options->upgradeVersion, "V9");
    const auto radios = MakeRadios(*options);
    EXPECT_TRUE(radios[0].upgradeFailing && !radios[1].upgradeFailing && radios[2].upgradeFailing);

    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--tftp-blksize", "7"}, error));
    EXPECT_FALSE(
        ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--upgrade-version", std::string(33, 'v')}, error));
    EXPECT_FALSE(ParseSimOptions({"--segment", "r0,10.99.0.0/16", "--tftp-port", "0"}, error));
}

} // namespace
} // namespace rf
