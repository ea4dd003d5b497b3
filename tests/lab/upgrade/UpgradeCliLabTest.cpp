// radiofleet-cli upgrade in a lab's PC namespace: a copy of the program's bundle (so that its firmware
// server is ours alone), the real Relayd, and simulated radios of two models that fetch the image.
#include "SimRadio.h"

#include "core/OperateSystemInfo.h"
#include "support/ChildProcess.h"
#include "support/Lab.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <thread>

namespace rf::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kUpgrade = 11;

// The command-line tool with the files it finds beside it, in a folder of this test's own.
class Bundle {
public:
    Bundle() {
        const fs::path from = fs::path(RF_CLI).parent_path();
        fs::permissions(dir_.Path(), fs::perms(0755));
        for (const char* file : {"radiofleet-cli", "libnicscan.so", "Setting.ini"}) {
            fs::copy_file(from / file, dir_.Path() / file);
        }
        fs::copy(from / "Languages", dir_.Path() / "Languages");
        fs::create_directory(dir_.Path() / "service");
        fs::copy_file(from / "service" / "Relayd", Server());
    }
    std::string Cli() const { return (dir_.Path() / "radiofleet-cli").string(); }
    std::string Server() const { return (dir_.Path() / "service" / "Relayd").string(); }
    bool ServerRuns() const {
        pid_t pid = 0;
        return COperateSystemInfo::FindProcessByPath(Server(), pid);
    }
    std::string Firmware(const std::string& name, const std::string& content) const {
        return dir_.Write("firmware/" + name, content).string();
    }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
};

struct CliRun {
    int status = -1;
    std::map<std::string, std::string> byMac; // the outcome printed for each MAC
    std::string output;
};

CliRun RunUpgrade(const Lab& lab, const Bundle& bundle, const std::string& arguments) {
    const ShellResult r = lab.RunInPc("env XDG_RUNTIME_DIR= TMPDIR=" + ShellQuote(bundle.Dir().Path()) + " " +
                                      ShellQuote(bundle.Cli()) + " upgrade " + arguments);
    CliRun run{r.status, {}, r.output};
    for (size_t start = 0, end; (end = r.output.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = r.output.substr(start, end - start);
        const auto gap = line.find("  ");
        const auto second = gap == std::string::npos ? gap : line.find("  ", gap + 2);
        if (second != std::string::npos) {
            run.byMac[line.substr(0, gap)] = line.substr(second + 2);
        }
    }
    return run;
}

// A device's text as the tool prints it: control characters become '?'.
std::string Printable(std::string text) {
    for (char& c : text) {
        c = static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return text;
}

std::vector<SimRadio> Radios(const Lab& lab) {
    std::vector<SimRadio> radios;
    for (const auto& line : lab.Radios()) {
        radios.push_back(SimRadio::Parse(line));
    }
    return radios;
}

int Fetches(const Lab& lab, const std::string& mac) {
    return std::atoi(JsonValue(lab.Control("get " + mac), "upgrade_fetches").c_str());
}

std::string Macs(const std::vector<SimRadio>& radios) {
    std::string text;
    for (const SimRadio& radio : radios) {
        text += " " + radio.mac;
    }
    return text;
}

const std::vector<std::string> kTwoModels{"--models",    "257,258", "--flash-ms",         "300",
                                          "--reboot-ms", "800",     "--answer-spread-ms", "20"};

TEST(UpgradeCliLab, OnlyTheChosenModelFetchesAndComesBackWithTheImagesVersion) {
    Lab lab({.radios = 6, .subnets = 1, .simArgs = kTwoModels});
    SKIP_WITHOUT_LAB(lab);
    Bundle bundle;
    const std::string image = bundle.Firmware("V9.1.bin", std::string(200000, 'x'));
    const auto radios = Radios(lab);
    CliRun run = RunUpgrade(lab, bundle, ShellQuote(image) + Macs(radios) + " --type Hirta");
    EXPECT_EQ(run.status, 0) << run.output;
    for (const SimRadio& radio : radios) {
        const SimRadio now = SimRadio::Parse(lab.Control("get " + radio.mac));
        if (radio.model == 258) {
            EXPECT_EQ(run.byMac[radio.mac], "upgraded " + Printable(radio.version) + " -> V9.1")
                << run.output;
            EXPECT_EQ(now.version, "V9.1");
            EXPECT_EQ(Fetches(lab, radio.mac), 1);
        } else {
            EXPECT_EQ(run.byMac[radio.mac], "not this type") << run.output;
            EXPECT_EQ(now.version, radio.version);
            EXPECT_EQ(Fetches(lab, radio.mac), 0);
            EXPECT_EQ(now.Received(kUpgrade), 0);
        }
    }
    EXPECT_FALSE(bundle.ServerRuns()) << "the firmware server ends with the run";
}

TEST(UpgradeCliLab, AnImageForAnotherModelFailsOnEveryRadioAndTheRunEndsAfterTheTransfer) {
    Lab lab({.radios = 4, .subnets = 1, .simArgs = kTwoModels});
    SKIP_WITHOUT_LAB(lab);
    Bundle bundle;
    const std::string image = bundle.Firmware("V9.2.bin", "MODEL=258\n" + std::string(50000, 'y'));
    const auto radios = Radios(lab);
    // The default type is the first MAC's model: 257, which this image is not meant for.
    CliRun run = RunUpgrade(lab, bundle, ShellQuote(image) + Macs(radios));
    EXPECT_EQ(run.status, 1) << run.output;
    for (const SimRadio& radio : radios) {
        EXPECT_EQ(run.byMac[radio.mac], radio.model == 257 ? "upgrade failed" : "not this type")
            << run.output;
        if (radio.model == 257) {
            EXPECT_EQ(Fetches(lab, radio.mac), 1) << "fetched, then refused";
            EXPECT_EQ(JsonValue(lab.Control("get " + radio.mac), "upgrade_stage"), "failed");
        }
    }
    EXPECT_FALSE(bundle.ServerRuns());
}

TEST(UpgradeCliLab, RefusedInputsAndAServerThatCannotStartSendNothing) {
    Lab lab({.radios = 2, .subnets = 1, .simArgs = kTwoModels});
    SKIP_WITHOUT_LAB(lab);
    Bundle bundle;
    const auto radios = Radios(lab);
    const std::string macs = Macs(radios);
    const std::string good = bundle.Firmware("good.bin", "image");
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += " 02:00:00:00:00:" + std::to_string(10 + i);
    }
    const std::map<std::string, std::string> refused{
        {ShellQuote(bundle.Firmware("mixed.Bin", "image")) + macs, ".bin file!"},
        {ShellQuote(bundle.Firmware("empty.bin", "")) + macs, "The upgrade file is empty!"},
        {ShellQuote(bundle.Dir().Dir() + "missing.bin") + macs, "The upgrade file cannot be read!"},
        {ShellQuote(bundle.Firmware("fw..V2.bin", "image")) + macs, "cannot serve this file"},
        {ShellQuote(good) + eleven, "10 devices!"},
        {ShellQuote(good), "Please select the devices!"},
    };
    for (const auto& [arguments, message] : refused) {
        CliRun run = RunUpgrade(lab, bundle, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
    }

    // Another program holds the firmware server's port.
    const int holder = lab.OpenUdpInPc("0.0.0.0", 69);
    ASSERT_GE(holder, 0);
    const CliRun blocked = RunUpgrade(lab, bundle, ShellQuote(good) + macs);
    ::close(holder);
    EXPECT_EQ(blocked.status, 3) << blocked.output;
    EXPECT_NE(blocked.output.find("firmware server could not be started"), std::string::npos)
        << blocked.output;
    for (const SimRadio& radio : Radios(lab)) {
        EXPECT_EQ(radio.Received(kUpgrade), 0) << radio.mac;
    }
    EXPECT_FALSE(bundle.ServerRuns());
}

std::vector<std::string> RunFolders(const Bundle& bundle) {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(bundle.Dir().Path())) {
        if (entry.path().filename().string().starts_with("radiofleet-run-")) {
            folders.push_back(entry.path().string());
        }
    }
    return folders;
}

// radiofleet-cli upgrade of image on every radio of the lab, running until the test ends it.
std::unique_ptr<ChildProcess> StartUpgrade(const Lab& lab, const Bundle& bundle, const std::string& image) {
    std::string ip = RunShell("command -v ip").output;
    ip.erase(ip.find_last_not_of('\n') + 1);
    std::vector<std::string> args{"netns", "exec", lab.PcNamespace(), bundle.Cli(), "upgrade", image};
    for (const SimRadio& radio : Radios(lab)) {
        args.push_back(radio.mac);
    }
    return std::make_unique<ChildProcess>(
        ip, args, std::vector<std::string>{"XDG_RUNTIME_DIR=", "TMPDIR=" + bundle.Dir().Path().string()});
}

// An interrupted run ends its server and removes its store. A killed one cannot: its server ends by itself
// when the tool's end of its input closes, and the next start removes the store's folder, keys and all.
TEST(UpgradeCliLab, InterruptedOrKilledRunsLeaveNoServerAndNoStoreForLong) {
    // Radios that flash for ten minutes keep the run going until the interruption.
    Lab lab({.radios = 2, .subnets = 1, .simArgs = {"--flash-ms", "600000"}});
    SKIP_WITHOUT_LAB(lab);
    Bundle bundle;
    const std::string image = bundle.Firmware("V3.bin", std::string(1000, 'z'));
    auto upgrades = [&] { return Radios(lab)[0].Received(kUpgrade); };
    auto cli = StartUpgrade(lab, bundle, image);
    ASSERT_TRUE(WaitFor([&] { return upgrades() > 0; }, 30s));
    ASSERT_TRUE(bundle.ServerRuns());
    cli->Signal(SIGINT);
    EXPECT_EQ(cli->WaitExit(30s), 130);
    EXPECT_FALSE(bundle.ServerRuns()) << "no firmware server left behind";
    EXPECT_TRUE(RunFolders(bundle).empty());

    const int before = upgrades();
    cli = StartUpgrade(lab, bundle, image);
    ASSERT_TRUE(WaitFor([&] { return upgrades() > before; }, 30s));
    ASSERT_TRUE(bundle.ServerRuns());
    const auto folders = RunFolders(bundle);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(fs::exists(folders[0] + "/data.mdb"));
    cli->Signal(SIGKILL);
    cli->WaitExit(30s);
    EXPECT_TRUE(WaitFor([&] { return !bundle.ServerRuns(); }, 2s)) << "the server ended with its starter";
    EXPECT_EQ(RunFolders(bundle), folders) << "nobody was there to remove it";

    const CliRun next = RunUpgrade(lab, bundle, ShellQuote(image) + " " + Radios(lab)[0].mac + " --dry-run");
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_TRUE(RunFolders(bundle).empty())
        << "the dead run's folder went at the next start, its own at exit";
}

// Two instances of the same program in two network namespaces, each with its own radios, upgrade at the
// same time: neither ends the other's server.
TEST(UpgradeCliLab, TwoInstancesInTwoNamespacesUpgradeAtTheSameTime) {
    // Small blocks in lock step make the transfers of 30 MB last long enough to overlap.
    const std::vector<std::string> oneModel{"--models",    "258", "--flash-ms",     "300",
                                            "--reboot-ms", "800", "--tftp-blksize", "512"};
    Lab first({.radios = 2, .subnets = 1, .simArgs = oneModel});
    SKIP_WITHOUT_LAB(first);
    Lab second({.radios = 2, .subnets = 1, .simArgs = oneModel});
    SKIP_WITHOUT_LAB(second);
    Bundle bundle;
    const std::string image = bundle.Firmware("V5.bin", std::string(30 << 20, 'w'));
    CliRun runs[2];
    {
        std::jthread other(
            [&] { runs[1] = RunUpgrade(second, bundle, ShellQuote(image) + Macs(Radios(second))); });
        runs[0] = RunUpgrade(first, bundle, ShellQuote(image) + Macs(Radios(first)));
    }
    for (const CliRun& run : runs) {
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.byMac.size(), 2u) << run.output;
    }
    for (const Lab* lab : {&first, &second}) {
        for (const SimRadio& radio : Radios(*lab)) {
            EXPECT_EQ(radio.version, "V5") << radio.mac;
        }
    }
    EXPECT_FALSE(bundle.ServerRuns());
}

} // namespace
} // namespace rf::test
