// radiofleet-cli scan and join against simulated radios: the scan lists the access points of the radio's
// segment strongest first, join makes the radio a station of the chosen one (checked in the radio's own
// state), and what the wizard's rules refuse never reaches the radio.
#include "CliRun.h"
#include "SimRadio.h"

#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rf::test {
namespace {

constexpr int kSetBridge = 7;

class BridgeLab : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_LAB(lab_);
        // A station-side radio whose mode switch lets it be bridged, in a segment with access points.
        const std::vector<std::string> radios = lab_.Radios();
        for (const std::string& line : radios) {
            if (JsonNumber(line, "work_mode") == 1 && apSsidMac_.empty()) {
                apLine_ = line;
                apSsidMac_ = JsonValue(line, "ssid_mac");
            }
        }
        for (const std::string& line : radios) {
            if (line != apLine_ && JsonNumber(line, "model") != 4 && JsonNumber(line, "model") != 261 &&
                JsonValue(line, "segment") == JsonValue(apLine_, "segment")) {
                mac_ = JsonValue(line, "mac");
                ip_ = JsonValue(line, "ip");
                mask_ = JsonValue(line, "ip_mask");
                break;
            }
        }
        ASSERT_FALSE(apSsidMac_.empty()) << "the lab has no access point";
        ASSERT_FALSE(mac_.empty()) << "no radio beside the access point";
        ASSERT_EQ(lab_.Control("modeswitch " + mac_ + " 0"), "ok\n");
    }

    CliRun Cli(const std::string& arguments) { return RunCli(lab_, runDir_, arguments); }
    int SetBridges() { return SimRadio::Parse(lab_.Control("get " + mac_)).Received(kSetBridge); }

    Lab lab_{{.radios = 8, .subnets = 1, .simArgs = {}}};
    TempDir runDir_;
    std::string apLine_, apSsidMac_, mac_, ip_, mask_;
};

TEST_F(BridgeLab, ScanListsTheSegmentsAccessPointsStrongestFirst) {
    const CliRun run = Cli("scan " + mac_ + " --json");
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<int> signals;
    bool found = false;
    for (const std::string& line : run.lines) {
        signals.push_back(JsonNumber(line, "signal"));
        found = found || JsonValue(line, "bssid") == apSsidMac_;
        if (JsonValue(line, "bssid") == apSsidMac_) {
            EXPECT_EQ(JsonValue(line, "ssid"), JsonValue(apLine_, "ssid"));
            EXPECT_EQ(JsonNumber(line, "channel"), JsonNumber(apLine_, "channel"));
            EXPECT_FALSE(JsonValue(line, "security_text").empty());
        }
    }
    EXPECT_TRUE(found) << run.output;
    EXPECT_TRUE(std::ranges::is_sorted(signals, std::greater<>())) << run.output;

    const CliRun text = Cli("scan " + mac_);
    ASSERT_EQ(text.status, 0) << text.output;
    ASSERT_EQ(text.lines.size(), run.lines.size() + 1) << text.output;
    EXPECT_EQ(text.lines[0].rfind("SSID", 0), 0u) << "a header line: " << text.output;
}

TEST_F(BridgeLab, JoinMakesTheRadioAStationOfTheAccessPoint) {
    // An unused address of the same subnet.
    const std::string newIp = ip_.substr(0, ip_.rfind('.')) + ".201";
    const CliRun run = Cli("join " + mac_ + " --bssid " + apSsidMac_ +
                           " --security WPA2-PSK --key bridge-key-1 --ip " + newIp + " --mask " + mask_);
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0].rfind("Bridge success", 0), 0u) << run.output;
    EXPECT_NE(run.lines[0].find("verified"), std::string::npos)
        << "its details show the link: " << run.output;
    const std::string after = lab_.Control("get " + mac_);
    EXPECT_EQ(JsonNumber(after, "work_mode"), 2);
    EXPECT_EQ(JsonValue(after, "bridge_mac"), apSsidMac_);
    EXPECT_EQ(JsonValue(after, "bridge_ssid"), JsonValue(apLine_, "ssid"));
    EXPECT_EQ(JsonNumber(after, "bridge_secure_mode"), 3);
    EXPECT_EQ(JsonValue(after, "bridge_key"), "bridge-key-1");
    EXPECT_EQ(JsonValue(after, "ip"), newIp);
    EXPECT_EQ(SetBridges(), 1);
}

TEST_F(BridgeLab, RefusalsADryRunAndTheModeSwitchSendNothing) {
    const CliRun dry =
        Cli("join " + mac_ + " --bssid " + apSsidMac_ + " --security WPA2-PSK --key bridge-key-2 --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.output;
    EXPECT_EQ(dry.lines.at(0), mac_ + "  " + ip_ + "  would send SetBridge") << dry.output;
    const std::string held = JsonValue(lab_.Control("get " + mac_), "bridge_mac");
    EXPECT_EQ(dry.output.find("\n  bridge_mac: " + held + " -> " + apSsidMac_ + "\n") != std::string::npos,
              held != apSsidMac_)
        << dry.output;
    EXPECT_NE(dry.output.find("\n  bridge_wpapsk_key_value: (changed)\n"), std::string::npos) << dry.output;
    EXPECT_EQ(dry.output.find("bridge-key-2"), std::string::npos) << "keys are never printed";

    const struct {
        std::string options;
        std::string message;
    } refusals[] = {
        {"--security WPA2-PSK --key " + std::string(63, 'a') + "g", "Please enter a key for 8~63"},
        {"--security WPA2-PSK --key short", "Please enter a key for 8~63"},
        {"--ssid \"\" --security None", "The ssid can not be empty!"},
        {"--security None --ip 10.99.1.300 --mask 255.255.0.0", "The ip address is invalid!"},
        {"--security None --channel 200", "not offered"},
    };
    for (const auto& refusal : refusals) {
        const CliRun run = Cli("join " + mac_ + " --bssid " + apSsidMac_ + " " + refusal.options);
        EXPECT_EQ(run.status, 2) << refusal.options << ": " << run.output;
        EXPECT_NE(run.output.find(refusal.message), std::string::npos)
            << refusal.options << ": " << run.output;
    }
    const std::string before = JsonValue(lab_.Control("get " + mac_), "bridge_mac");
    ASSERT_EQ(lab_.Control("modeswitch " + mac_ + " 1"), "ok\n");
    const CliRun run = Cli("join " + mac_ + " --bssid " + apSsidMac_ + " --security None");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("The Mode Switch is at AP position"), std::string::npos) << run.output;
    EXPECT_EQ(SetBridges(), 0) << "nothing refused reaches the radio";
    EXPECT_EQ(JsonValue(lab_.Control("get " + mac_), "bridge_mac"), before);
}

TEST_F(BridgeLab, AScanThatNeverCompletesEndsAfterThirtySecondsEmpty) {
    ASSERT_EQ(lab_.Control("noscan " + mac_ + " 1"), "ok\n");
    const CliRun run = Cli("scan " + mac_ + " --json");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("did not complete within 30 seconds"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("\"bssid\""), std::string::npos) << run.output;
}

} // namespace
} // namespace rf::test
