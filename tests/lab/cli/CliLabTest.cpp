// radiofleet-cli run inside a lab's PC namespace, checked against the simulator's own view of the radios.
#include "CliRun.h"
#include "SimRadio.h"

#include "support/Lab.h"
#include "support/TempDir.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace rf::test {
namespace {

constexpr int kReboot = 9;

std::vector<SimRadio> SimRadios(const Lab& lab) {
    std::vector<SimRadio> radios;
    for (const auto& line : lab.Radios()) {
        radios.push_back(SimRadio::Parse(line));
    }
    return radios;
}

SimRadio SimGet(const Lab& lab, const std::string& mac) {
    return SimRadio::Parse(lab.Control("get " + mac));
}

bool RunDirIsEmpty(const TempDir& runDir) {
    return std::filesystem::is_empty(runDir.Path());
}

TEST(CliLab, SearchJsonListsEveryRadioWithItsTrueValuesAndLeavesNothingBehind) {
    Lab lab({.radios = 24, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    const CliRun run = RunCli(lab, runDir, "search --json --seconds 4");
    ASSERT_EQ(run.status, 0) << run.output;
    std::map<std::string, std::string> byMac;
    for (const auto& line : run.lines) {
        byMac[JsonValue(line, "mac")] = line;
    }
    const auto radios = SimRadios(lab);
    ASSERT_EQ(run.lines.size(), radios.size()) << run.output;
    for (const SimRadio& radio : radios) {
        ASSERT_TRUE(byMac.count(radio.mac)) << radio.mac;
        const std::string& line = byMac[radio.mac];
        EXPECT_EQ(JsonValue(line, "ip"), radio.ip);
        EXPECT_EQ(JsonValue(line, "name"), LocalText(radio.name));
        EXPECT_EQ(JsonValue(line, "version"), radio.version);
        EXPECT_EQ(JsonValue(line, "ssid"), LocalText(radio.ssid));
        EXPECT_EQ(JsonValue(line, "work_mode"), std::to_string(radio.workMode));
        EXPECT_EQ(JsonValue(line, "channel"), std::to_string(radio.channel));
        EXPECT_EQ(JsonValue(line, "status"), "1");
        EXPECT_EQ(JsonValue(line, "announced"), "false");
        EXPECT_LE(std::abs(std::atoi(JsonValue(line, "uptime").c_str()) - radio.upTime), 15);
        // The run ended through the engine's Stop: one Leave to every online radio.
        EXPECT_EQ(radio.Received(17), 1) << radio.mac;
    }
    EXPECT_TRUE(RunDirIsEmpty(runDir)) << "the run left its store behind";
}

TEST(CliLab, AdaptersCountTheRadiosOfEachSubnet) {
    Lab lab({.radios = 7, .subnets = 2, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    std::map<std::string, int> radiosByPcAddress;
    for (const SimRadio& radio : SimRadios(lab)) {
        ++radiosByPcAddress[radio.ip.rfind("10.99.", 0) == 0 ? Lab::PcAddress(0) : Lab::PcAddress(1)];
    }
    ASSERT_EQ(radiosByPcAddress.size(), 2u);
    TempDir runDir;
    const CliRun run = RunCli(lab, runDir, "adapters --json --seconds 4");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 2u) << run.output;
    for (const auto& line : run.lines) {
        const std::string ip = JsonValue(line, "ip");
        ASSERT_TRUE(radiosByPcAddress.count(ip)) << line;
        EXPECT_EQ(JsonValue(line, "devices"), std::to_string(radiosByPcAddress[ip])) << line;
    }
    EXPECT_TRUE(RunDirIsEmpty(runDir));

    // Listed by IP, the two subnets' radios follow each other by whole address, not by their last octet.
    const CliRun byIp = RunCli(lab, runDir, "search --json --sort ip --seconds 4");
    ASSERT_EQ(byIp.status, 0) << byIp.output;
    std::vector<std::uint32_t> addresses;
    for (const auto& line : byIp.lines) {
        in_addr address{};
        ASSERT_EQ(::inet_pton(AF_INET, JsonValue(line, "ip").c_str(), &address), 1) << line;
        addresses.push_back(ntohl(address.s_addr));
    }
    EXPECT_EQ(addresses.size(), 7u) << byIp.output;
    EXPECT_TRUE(std::ranges::is_sorted(addresses)) << byIp.output;

    // With the search port held by another program the adapters are still listed, uncounted.
    const int holder = lab.OpenUdpInPc("0.0.0.0", 9785);
    ASSERT_GE(holder, 0);
    const CliRun held = RunCli(lab, runDir, "adapters --json --seconds 1");
    ::close(holder);
    EXPECT_EQ(held.status, 0) << held.output;
    EXPECT_NE(held.output.find("devices not counted"), std::string::npos) << held.output;
    int uncounted = 0;
    for (const auto& line : held.lines) {
        uncounted += JsonValue(line, "devices") == "null" ? 1 : 0;
    }
    EXPECT_EQ(uncounted, 2) << held.output;
}

TEST(CliLab, RebootAndResetReportEachDeviceAndRefusalsExitWithOne) {
    Lab lab({.radios = 6, .subnets = 1, .simArgs = {"--fail", "3"}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    const auto radios = SimRadios(lab);

    CliRun run = RunCli(lab, runDir, "reboot " + radios[0].mac + " " + radios[1].mac);
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(run.lines.size(), 2u) << run.output;
    for (const auto& line : run.lines) {
        EXPECT_NE(line.find("restarting"), std::string::npos) << line;
    }
    EXPECT_EQ(JsonValue(lab.Control("get " + radios[0].mac), "reboots"), "1");

    run = RunCli(lab, runDir, "reset " + radios[2].mac);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("resetting"), std::string::npos) << run.output;
    EXPECT_EQ(JsonValue(lab.Control("get " + radios[2].mac), "restores"), "1");

    run = RunCli(lab, runDir, "reboot " + radios[3].mac + " " + radios[4].mac);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(radios[3].mac + "  " + radios[3].ip + "  refused"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(radios[4].mac + "  " + radios[4].ip + "  restarting"), std::string::npos)
        << run.output;
    EXPECT_TRUE(RunDirIsEmpty(runDir));
}

TEST(CliLab, BadArgumentsExitWithTwoAndSendNothing) {
    Lab lab({.radios = 3, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    const auto radios = SimRadios(lab);
    const std::string mac = radios[0].mac;
    const std::vector<std::string> refused{"reboot",
                                           "reboot 02:52:zz:00:00:00",
                                           "frobnicate",
                                           "search --seconds 0",
                                           "transparent-bridge maybe " + mac,
                                           "set-ip " + mac + " 10.99.1.261 255.255.0.0",
                                           "set-ip " + mac + " 10.99.9.9 0.0.0.0",
                                           "set-ip " + mac + " 10.99.9.9 255.255.0.0 10.98.0.1",
                                           "set-ip " + mac + " " + radios[1].ip + " 255.255.0.0",
                                           "rename " + mac + " " + std::string(33, 'x'),
                                           "show " + mac + " --wait 0"};
    for (const std::string& arguments : refused) {
        const CliRun run = RunCli(lab, runDir, arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
        EXPECT_FALSE(run.output.empty()) << arguments << ": no message";
    }
    for (const SimRadio& radio : SimRadios(lab)) {
        EXPECT_EQ(radio.Received(3) + radio.Received(8) + radio.Received(9), 0) << radio.mac;
    }
    EXPECT_TRUE(RunDirIsEmpty(runDir));
}

TEST(CliLab, LateDevicesAreFoundNowhereDevicesGetTheirOwnLineAndADryRunSendsNothing) {
    Lab lab({.radios = 3, .subnets = 1, .simArgs = {"--late", "1:3"}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    const auto radios = SimRadios(lab);
    const std::string nowhere = "02:00:00:00:00:99";

    // Searched every 3 seconds, radio 1 answers the third search.
    CliRun run = RunCli(lab, runDir, "reboot " + radios[1].mac);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(radios[1].mac + "  " + radios[1].ip + "  restarting"), std::string::npos)
        << run.output;
    EXPECT_EQ(SimGet(lab, radios[1].mac).Received(kReboot), 1);

    run = RunCli(lab, runDir, "reboot " + nowhere + " " + radios[0].mac);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(nowhere + "  not found by a search within 12 s"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(radios[0].mac + "  " + radios[0].ip + "  restarting"), std::string::npos)
        << run.output;
    EXPECT_EQ(SimGet(lab, radios[0].mac).Received(kReboot), 1);

    run = RunCli(lab, runDir, "show " + nowhere + " --wait 2");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output, nowhere + "  not found by a search within 2 s\n");

    run = RunCli(lab, runDir, "reboot --dry-run " + radios[2].mac);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, radios[2].mac + "  " + radios[2].ip + "  would send Reboot\n");
    EXPECT_EQ(SimGet(lab, radios[2].mac).Received(kReboot), 0);
    EXPECT_TRUE(RunDirIsEmpty(runDir));
}

TEST(CliLab, SetIpMovesARadioAndTheListFollows) {
    Lab lab({.radios = 4, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    const SimRadio radio = SimRadios(lab)[2];
    CliRun run =
        RunCli(lab, runDir, "set-ip " + radio.mac + " 10.99.77.5 255.255.0.0 10.99.0.1 10.99.0.2 10.99.0.3");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("moved to 10.99.77.5"), std::string::npos) << run.output;
    std::string truth = lab.Control("get " + radio.mac);
    EXPECT_EQ(JsonValue(truth, "ip"), "10.99.77.5");
    EXPECT_EQ(JsonValue(truth, "ip_dns2"), "10.99.0.3");

    // A gateway or DNS server left out keeps its stored value, and none clears one, in set-ip as in
    // configure.
    run = RunCli(lab, runDir, "set-ip " + radio.mac + " 10.99.77.5 255.255.0.0 none");
    ASSERT_EQ(run.status, 0) << run.output;
    truth = lab.Control("get " + radio.mac);
    EXPECT_EQ(JsonValue(truth, "ip_gateway"), "0.0.0.0");
    EXPECT_EQ(JsonValue(truth, "ip_dns1"), "10.99.0.2");
    EXPECT_EQ(JsonValue(truth, "ip_dns2"), "10.99.0.3");
    run = RunCli(lab, runDir, "configure " + radio.mac + " --dns2 none");
    ASSERT_EQ(run.status, 0) << run.output;
    truth = lab.Control("get " + radio.mac);
    EXPECT_EQ(JsonValue(truth, "ip_dns1"), "10.99.0.2");
    EXPECT_EQ(JsonValue(truth, "ip_dns2"), "0.0.0.0");

    const CliRun search = RunCli(lab, runDir, "search --json --seconds 4");
    ASSERT_EQ(search.status, 0);
    const auto line = std::find_if(search.lines.begin(), search.lines.end(),
                                   [&](const std::string& l) { return JsonValue(l, "mac") == radio.mac; });
    ASSERT_NE(line, search.lines.end()) << search.output;
    EXPECT_EQ(JsonValue(*line, "ip"), "10.99.77.5");
}

TEST(CliLab, RenameWithChineseArrivesAsUtf8AndTransparentBridgeSwitches) {
    Lab lab({.radios = 12, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    std::vector<SimRadio> bridges;
    for (const SimRadio& radio : SimRadios(lab)) {
        if (radio.HasTransparentBridge()) {
            bridges.push_back(radio);
        }
    }
    ASSERT_GE(bridges.size(), 2u);
    const std::string name = "北京站1号";
    CliRun run = RunCli(lab, runDir, "rename " + bridges[0].mac + " " + ShellQuote(name));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(SimGet(lab, bridges[0].mac).name, name);

    const std::string value = bridges[0].bridgeTransparent != 0 ? "off" : "on";
    run = RunCli(lab, runDir, "transparent-bridge " + value + " " + bridges[0].mac + " " + bridges[1].mac);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(SimGet(lab, bridges[0].mac).bridgeTransparent, value == "on" ? 1 : 0);
    EXPECT_EQ(SimGet(lab, bridges[1].mac).bridgeTransparent, value == "on" ? 1 : 0);
    EXPECT_TRUE(RunDirIsEmpty(runDir));
}

} // namespace
} // namespace rf::test
