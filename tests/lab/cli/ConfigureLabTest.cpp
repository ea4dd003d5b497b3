// radiofleet-cli show and configure against simulated radios: what the tool sends is checked in the
// radios' own state, and what it refuses never reaches them.
#include "CliRun.h"
#include "SimRadio.h"

#include "protocol/DeviceInfo.h"
#include "rules/WirelessChoices.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

namespace rf::test {
namespace {

// The message types of the configuration requests.
constexpr int kSetIp = 3, kSetWireless = 4, kSetSchedule = 5, kSetName = 8, kSetVlan = 13;

std::string Get(const Lab& lab, const std::string& mac) {
    return lab.Control("get " + mac);
}

int ConfigRequests(const Lab& lab, const std::string& mac) {
    const SimRadio radio = SimRadio::Parse(Get(lab, mac));
    int sum = 0;
    for (int type : {kSetIp, kSetWireless, kSetSchedule, kSetName, kSetVlan}) {
        sum += radio.Received(type);
    }
    return sum;
}

// The radio's lists as the wireless tab builds them.
WirelessChoices ChoicesOf(const std::string& line) {
    DeviceInfo info;
    info.set_rf_type(static_cast<uint8_t>(JsonNumber(line, "rf_type")));
    info.set_country_code(static_cast<uint8_t>(JsonNumber(line, "country_code")));
    info.set_network_mode(static_cast<uint8_t>(JsonNumber(line, "network_mode")));
    info.set_bandwidth(static_cast<uint8_t>(JsonNumber(line, "bandwidth")));
    info.set_channel(static_cast<uint8_t>(JsonNumber(line, "channel")));
    info.set_expand_channel(static_cast<uint8_t>(JsonNumber(line, "expand_channel")));
    return WirelessChoices::Open(info);
}

// An online radio whose stored settings the dialog accepts as they are (loose names) and whose channel
// list offers a channel other than the selected one; that channel.
std::pair<std::string, int> RadioWithAnotherChannel(const Lab& lab) {
    for (const std::string& line : lab.Radios()) {
        const int model = JsonNumber(line, "model");
        if (model == 4 || model == 261 || JsonValue(line, "state") != "running") {
            continue;
        }
        const ChoiceList channels = ChoicesOf(line).channels();
        for (size_t i = 1; i < channels.items.size(); ++i) {
            if (static_cast<int>(i) != channels.selected) {
                return {line, channels.items[i].data};
            }
        }
    }
    return {};
}

class ConfigureLab : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_LAB(lab_);
        const auto [line, channel] = RadioWithAnotherChannel(lab_);
        ASSERT_FALSE(line.empty()) << "no radio with a choice of channels";
        line_ = line;
        mac_ = JsonValue(line, "mac");
        channel_ = channel;
    }

    CliRun Cli(const std::string& arguments) { return RunCli(lab_, runDir_, arguments); }

    Lab lab_{{.radios = 12, .subnets = 1, .simArgs = {"--reboot-ms", "3000"}}};
    TempDir runDir_;
    std::string line_;
    std::string mac_;
    int channel_ = 0;
};

TEST_F(ConfigureLab, ANameOnlyChangeSendsOneSetNameAndShowTellsIt) {
    const CliRun run = Cli("configure " + mac_ + " --name Renamed-7");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 1u) << run.output;
    EXPECT_EQ(run.lines[0].rfind("name  " + mac_, 0), 0u) << run.output;
    EXPECT_NE(run.lines[0].find("verified"), std::string::npos) << run.output;
    const SimRadio radio = SimRadio::Parse(Get(lab_, mac_));
    EXPECT_EQ(radio.name, "Renamed-7");
    EXPECT_EQ(radio.Received(kSetName), 1);
    EXPECT_EQ(radio.Received(kSetWireless), 0) << "the untouched wireless tab sends nothing";

    const CliRun show = Cli("show " + mac_ + " --json");
    ASSERT_EQ(show.status, 0) << show.output;
    ASSERT_EQ(show.lines.size(), 1u);
    EXPECT_EQ(JsonValue(show.lines[0], "ap_name"), "Renamed-7");
    EXPECT_EQ(JsonValue(show.lines[0], "ip"), radio.ip);
    EXPECT_EQ(show.lines[0].find("\"wpapsk_key_value\""), std::string::npos) << "keys are never printed";
    EXPECT_EQ(JsonNumber(show.lines[0], "wpapsk_key_value_length"),
              static_cast<int>(JsonValue(Get(lab_, mac_), "wpapsk_key_value").size()));
}

TEST_F(ConfigureLab, ADryRunPrintsEachRequestWithItsChangesAndSendsNothing) {
    const int before = ConfigRequests(lab_, mac_);
    const std::string ip = JsonValue(line_, "ip");
    const CliRun run = Cli("configure " + mac_ + " --dry-run --name Planned-3 --channel " +
                           std::to_string(channel_) + " --security WPA2-PSK --key dry-run-key-9");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_GE(run.lines.size(), 5u) << run.output;
    EXPECT_EQ(run.lines[0], "name  " + mac_ + "  " + ip + "  would send SetName") << run.output;
    EXPECT_EQ(run.lines[1].rfind("  ap_name: ", 0), 0u) << run.output;
    EXPECT_TRUE(run.lines[1].ends_with(" -> Planned-3")) << run.output;
    EXPECT_EQ(run.lines[2], "wireless  " + mac_ + "  " + ip + "  would send SetWireless") << run.output;
    const std::string channelLine = "  channel: " + JsonValue(line_, "channel") + " (";
    EXPECT_NE(run.output.find(channelLine), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" -> " + std::to_string(channel_) + " ("), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\n  wpapsk_key_value: (changed)\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("dry-run-key-9"), std::string::npos) << "keys are never printed";
    EXPECT_EQ(ConfigRequests(lab_, mac_), before) << "a dry run sends nothing";
    EXPECT_EQ(JsonValue(Get(lab_, mac_), "ap_name"), JsonValue(line_, "ap_name"));
}

TEST_F(ConfigureLab, AWirelessChangeReachesTheRadio) {
    const int low = JsonNumber(line_, "tx_power_min");
    const CliRun run = Cli("configure " + mac_ + " --ssid field-5 --channel " + std::to_string(channel_) +
                           " --power " + std::to_string(low) + " --hide-ssid on");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 1u) << run.output;
    EXPECT_NE(run.lines[0].find("wireless"), std::string::npos);
    const std::string after = Get(lab_, mac_);
    EXPECT_EQ(JsonValue(after, "ssid"), "field-5");
    EXPECT_EQ(JsonNumber(after, "channel"), channel_);
    EXPECT_EQ(JsonNumber(after, "tx_power"), low);
    EXPECT_EQ(JsonNumber(after, "ssid_hide"), 1);
    EXPECT_EQ(JsonValue(after, "ap_name"), JsonValue(line_, "ap_name"));

    const CliRun show = Cli("show " + mac_ + " --json");
    ASSERT_EQ(show.status, 0) << show.output;
    EXPECT_EQ(JsonValue(show.lines[0], "ssid"), "field-5");
    EXPECT_EQ(JsonNumber(show.lines[0], "channel"), channel_);
}

TEST_F(ConfigureLab, RefusedInputsSendNothing) {
    const int before = ConfigRequests(lab_, mac_);
    const std::string high = std::to_string(JsonNumber(line_, "tx_power_max") + 1);
    const struct {
        std::string options;
        std::string message;
    } refusals[] = {
        {"--power " + high, "Power value range:"},
        {"--channel 200", "The channel is not offered"},
        {"--vlan 0,5", "VLAN range:1-4094"},
        {"--vlan 5,4095", "WLAN range:1-4094"},
        {"--reboot 24:00@mon", "The time is error!"},
        {"--security WPA2-PSK --key 1234567", "Please enter a key for 8~63"},
        {"--security WEP --key 012345678g", "WEP key is invalid!"},
        {"--name Renamed --vlan 0,5", "VLAN range:1-4094"},
    };
    for (const auto& refusal : refusals) {
        const CliRun run = Cli("configure " + mac_ + " " + refusal.options);
        EXPECT_EQ(run.status, 2) << refusal.options << ": " << run.output;
        EXPECT_NE(run.output.find(refusal.message), std::string::npos)
            << refusal.options << ": " << run.output;
    }
    EXPECT_EQ(ConfigRequests(lab_, mac_), before) << "a refused input reaches no radio";
    EXPECT_EQ(JsonValue(Get(lab_, mac_), "ap_name"), JsonValue(line_, "ap_name"));
}

TEST_F(ConfigureLab, AScheduleArrivesAsDayBitsAndMinutes) {
    const CliRun run = Cli("configure " + mac_ + " --reboot 03:30@mon,fri");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string after = Get(lab_, mac_);
    EXPECT_EQ(JsonNumber(after, "restart_en"), 1);
    EXPECT_EQ(JsonNumber(after, "restart_type"), 2 | 32);
    EXPECT_EQ(JsonNumber(after, "restart_time"), 210);
    EXPECT_EQ(SimRadio::Parse(after).Received(kSetSchedule), 1);
}

TEST_F(ConfigureLab, EverySecurityModeWithItsKeyReachesTheRadio) {
    const struct {
        const char* mode;
        int code;
        const char* key;
        const char* field;
    } modes[] = {
        {"WEP", 1, "abcde", ""},
        {"WPA-PSK", 2, "psk-key-02", "wpapsk_key_value"},
        {"wpa2-psk", 3, "psk-key-03", "wpapsk_key_value"},
        {"\"Mixed WPA/WPA2-PSK\"", 4, "psk-key-04", "wpapsk_key_value"},
        {"WPA", 5, "radius-05", "wpa_key"},
        {"WPA2", 6, "radius-06", "wpa_key"},
        {"None", 0, nullptr, ""},
    };
    for (const auto& m : modes) {
        const std::string key = m.key ? std::string(" --key ") + m.key : "";
        const CliRun run = Cli("configure " + mac_ + " --security " + m.mode + key);
        ASSERT_EQ(run.status, 0) << m.mode << ": " << run.output;
        const std::string after = Get(lab_, mac_);
        EXPECT_EQ(JsonNumber(after, "secure_mode"), m.code) << m.mode;
        if (m.code == 1) {
            const std::string index = std::to_string(JsonNumber(after, "wep_key_index") - 1);
            EXPECT_EQ(JsonValue(after, "wep_key_value" + index), m.key);
            EXPECT_EQ(JsonNumber(after, "wep_key_type" + index), 0) << "five characters are an ASCII key";
        } else if (m.key) {
            EXPECT_EQ(JsonValue(after, m.field), m.key) << m.mode;
        }
    }
}

TEST_F(ConfigureLab, IpAndVlanTogetherTakeEffectAtTheRestart) {
    const std::string newIp = "10.99.200.17";
    const CliRun run = Cli("configure " + mac_ + " --ip " + newIp + " --mask 255.255.0.0 --vlan 10,20");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 2u) << run.output;
    EXPECT_EQ(run.lines[0].rfind("vlan", 0), 0u) << "SetVlan goes before SetIp: " << run.output;
    EXPECT_EQ(run.lines[1].rfind("ip", 0), 0u) << run.output;
    ASSERT_TRUE(WaitFor([&] { return JsonValue(Get(lab_, mac_), "ip") == newIp; }, std::chrono::seconds(20)))
        << "the IP change applies with the VLAN change's restart";
    const std::string after = Get(lab_, mac_);
    EXPECT_EQ(JsonNumber(after, "vlan_en"), 1);
    EXPECT_EQ(JsonNumber(after, "vlan_id"), 10);
    EXPECT_EQ(JsonNumber(after, "vlan_id_wlan"), 20);
    EXPECT_EQ(JsonValue(after, "ip_gateway"), JsonValue(line_, "ip_gateway")) << "an omitted gateway is kept";
}

} // namespace
} // namespace rf::test
