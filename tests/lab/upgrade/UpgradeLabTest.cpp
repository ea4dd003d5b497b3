// Firmware upgrades end to end: the engine in the lab's PC namespace sends Upgrade, the firmware server
// Relayd serves the image there, and the simulated radios fetch it, report, flash and reboot.
#include "PcClient.h"
#include "TftpFetch.h"

#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "protocol/UpgradeFileInfo.h"
#include "store/SqlManagement.h"
#include "support/ChildProcess.h"
#include "support/EngineHarness.h"
#include "support/Lab.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <sched.h>

namespace rf {
namespace {

using namespace std::chrono_literals;
using test::JsonField;

constexpr int kOnline = 1, kUpgradeWait = 6, kUpgrading = 7, kUpgradeSuccess = 8, kUpgradeFail = 9;

std::string Pattern(size_t size, uint32_t seed) {
    std::string data(size, '\0');
    std::mt19937 random(seed);
    for (auto& c : data) {
        c = static_cast<char>(random() & 0xFF);
    }
    return data;
}

std::string ChecksumText(const std::string& data) {
    const auto sum =
        TftpFetch::Checksum(std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(sum));
    return text;
}

// The calling thread works in the lab's PC namespace (and so do the threads it starts) until the end of
// the scope: command sockets are opened by the thread that sends.
class InNamespace {
public:
    explicit InNamespace(const std::string& name) {
        original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        entered_ = original_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) {
            ::close(target);
        }
    }
    ~InNamespace() {
        if (entered_) {
            ::setns(original_, CLONE_NEWNET);
        }
        if (original_ >= 0) {
            ::close(original_);
        }
    }
    InNamespace(const InNamespace&) = delete;
    InNamespace& operator=(const InNamespace&) = delete;
    bool Ok() const { return entered_; }

private:
    int original_ = -1;
    bool entered_ = false;
};

// Relayd as installed beside the program, serving a firmware folder on port 69 of the PC namespace.
class FirmwareServer {
public:
    FirmwareServer(const test::Lab& lab, const std::map<std::string, std::string>& files) {
        std::filesystem::permissions(dir_.Path(), std::filesystem::perms(0755));
        for (const auto& [name, content] : files) {
            dir_.Write("firmware/" + name, content);
        }
        std::filesystem::create_directory(dir_.Path() / "service");
        const auto program = dir_.Path() / "service" / "Relayd";
        std::filesystem::copy_file(RF_RELAYD_PROGRAM, program);
        dir_.Write("service/Relayd.ini", "[SERVER]\nDirectory=" + dir_.Dir() + "firmware\nPort=69\n");
        std::string ip = test::RunShell("command -v ip").output;
        ip.erase(ip.find_last_not_of('\n') + 1);
        process_.emplace(ip, std::vector<std::string>{"netns", "exec", lab.PcNamespace(), program.string()});
    }
    ~FirmwareServer() {
        if (process_ && process_->Started()) {
            process_->Signal(SIGTERM);
            process_->WaitExit(5s);
        }
    }
    bool Running() { return process_ && process_->Started() && process_->Running(); }

private:
    test::TempDir dir_;
    std::optional<test::ChildProcess> process_;
};

struct Device {
    std::string mac, ip, json;
};

// The PC side: the engine and its store, living in the lab's PC namespace.
class Pc {
public:
    explicit Pc(const test::Lab& lab)
        : inside_(lab.PcNamespace()), store_(dir_.Dir()),
          engine_(store_,
                  std::make_unique<test::FixedAdapters>(std::vector<AdapterRecord>{
                      test::MakeAdapter({{test::Lab::PcAddress(0), "255.255.0.0"}})}),
                  nullptr) {
        started_ = inside_.Ok() && engine_.Start(3, 1000);
        std::vector<AdapterRecord> adapters;
        engine_.RefreshAdapters(adapters);
    }
    bool Ok() const { return started_; }

    // Searches until every radio of the lab is stored as online.
    bool Discover(const std::vector<Device>& devices) {
        engine_.SearchDevices();
        return test::WaitFor(
            [&] {
                for (const Device& d : devices) {
                    if (ToCode(store_.GetDeviceStatus(d.mac)) != kOnline) {
                        return false;
                    }
                }
                return true;
            },
            15s);
    }
    void SendUpgrade(const Device& d, const std::string& file, uint32_t size) {
        UpgradeFileInfo info;
        info.set_file_name(file);
        info.set_file_size(size);
        store_.ClearFailedUpgrade(d.mac);
        engine_.SendCommand(d.ip, static_cast<int>(MessageType::Upgrade), info.bytes(), d.mac, true);
    }
    void Send(const Device& d, MessageType type) {
        engine_.SendCommand(d.ip, static_cast<int>(type), {}, d.mac, true);
    }
    int Status(const Device& d) { return ToCode(store_.GetDeviceStatus(d.mac)); }
    bool AllReach(const std::vector<Device>& devices, int status, std::chrono::milliseconds timeout) {
        return test::WaitFor(
            [&] {
                for (const Device& d : devices) {
                    if (Status(d) != status) {
                        return false;
                    }
                }
                return true;
            },
            timeout);
    }
    std::string StoredVersion(const Device& d) {
        ap_info_stu row{};
        store_.GetDevice(d.mac, row);
        return row.device_info().version();
    }
    CSqlManagement& store() { return store_; }

private:
    InNamespace inside_;
    test::TempDir dir_;
    CSqlManagement store_;
    CNetManagement engine_;
    bool started_ = false;
};

std::vector<Device> Devices(const test::Lab& lab) {
    std::vector<Device> devices;
    for (const std::string& json : lab.Radios()) {
        devices.push_back({JsonField(json, "mac"), JsonField(json, "ip"), json});
    }
    return devices;
}

std::string Radio(const test::Lab& lab, const Device& d) {
    return lab.Control("get " + d.mac);
}

// Where each radio's upgrade stands, for the message of a failed wait.
std::string Progress(const test::Lab& lab, Pc& pc, const std::vector<Device>& devices) {
    std::string text;
    for (const Device& d : devices) {
        const std::string radio = Radio(lab, d);
        text += "\n" + d.mac + ": status " + std::to_string(pc.Status(d)) + ", radio " +
                JsonField(radio, "upgrade_stage") + " with " + JsonField(radio, "upgrade_received") + " of " +
                JsonField(radio, "upgrade_size") + " bytes, " + JsonField(radio, "state") + ", heard " +
                JsonField(radio, "received");
    }
    return text;
}

TEST(UpgradeLab, TenRadiosFetchA16MiBImageAtOnceAndRunTheNewVersionAfterTheirReboot) {
    test::Lab lab({10, 1, {"--flash-ms", "500", "--reboot-ms", "1000", "--answer-spread-ms", "50"}});
    SKIP_WITHOUT_LAB(lab);
    const std::string image = Pattern(16u << 20, 1);
    FirmwareServer server(lab, {{"fw-V7.2.0.bin", image}});
    const auto devices = Devices(lab);
    ASSERT_EQ(devices.size(), 10u);
    Pc pc(lab);
    ASSERT_TRUE(pc.Ok());
    ASSERT_TRUE(server.Running());
    ASSERT_TRUE(pc.Discover(devices));

    for (const Device& d : devices) {
        pc.SendUpgrade(d, "fw-V7.2.0.bin", static_cast<uint32_t>(image.size()));
    }
    // Fetched whole by every radio at once: each reports 0, which the store keeps as "Upgrade wait".
    ASSERT_TRUE(pc.AllReach(devices, kUpgradeWait, 180s)) << Progress(lab, pc, devices);
    for (const Device& d : devices) {
        const std::string radio = Radio(lab, d);
        EXPECT_EQ(JsonField(radio, "upgrade_received"), std::to_string(image.size())) << d.mac;
        EXPECT_EQ(JsonField(radio, "upgrade_checksum"), ChecksumText(image)) << d.mac;
        EXPECT_EQ(JsonField(radio, "upgrade_stage"), "waiting") << d.mac;
        EXPECT_EQ(JsonField(radio, "version"), JsonField(d.json, "version")) << "not flashed before the poll";
    }

    for (const Device& d : devices) {
        if (pc.store().IsUpgradeWaiting(d.mac)) {
            pc.Send(d, MessageType::UpgradePoll);
        }
    }
    // The poll's answer moves the status on; after flashing and the reboot each radio reports success.
    EXPECT_TRUE(test::WaitFor([&] {
        for (const Device& d : devices) {
            if (pc.Status(d) != kUpgrading && pc.Status(d) != kUpgradeSuccess) {
                return false;
            }
        }
        return true;
    }));
    ASSERT_TRUE(pc.AllReach(devices, kUpgradeSuccess, 20s)) << Progress(lab, pc, devices);

    for (const Device& d : devices) {
        pc.Send(d, MessageType::GetInfo);
    }
    EXPECT_TRUE(test::WaitFor([&] {
        for (const Device& d : devices) {
            if (pc.StoredVersion(d) != "fw-V7.2.0") {
                return false;
            }
        }
        return true;
    })) << "the version the radios report after the reboot";
    for (const Device& d : devices) {
        const std::string radio = Radio(lab, d);
        EXPECT_EQ(JsonField(radio, "upgrade_stage"), "done");
        EXPECT_EQ(JsonField(radio, "reboots"), "1");
        // The engine resends a command whose reply has not come back by its next retransmission pass, so
        // a radio may hear Upgrade or UpgradePoll twice; it still fetches once and flashes once.
        const std::string received = JsonField(radio, "received");
        EXPECT_NE(received.find("\"11\":"), std::string::npos) << received;
        EXPECT_NE(received.find("\"16\":"), std::string::npos) << received;
        EXPECT_EQ(JsonField(radio, "upgrade_runs"), "1") << "one fetch each: " << received;
    }
}

TEST(UpgradeLab, WrongSizeRejectedImageMissingFileAndFailingRadioReportFailure) {
    test::Lab lab({5, 1, {"--upgrade-fail", "1", "--fail", "2", "--answer-spread-ms", "0"}});
    SKIP_WITHOUT_LAB(lab);
    const std::string image = Pattern(300000, 2);
    FirmwareServer server(lab, {{"fw.bin", image}});
    const auto devices = Devices(lab);
    Pc pc(lab);
    ASSERT_TRUE(pc.Ok());
    ASSERT_TRUE(pc.Discover(devices));

    const auto size = static_cast<uint32_t>(image.size());
    pc.SendUpgrade(devices[0], "fw.bin", size + 1);  // told a larger size than the file has
    pc.SendUpgrade(devices[1], "fw.bin", size);      // rejects the image it fetched
    pc.SendUpgrade(devices[2], "fw.bin", size);      // fails every command
    pc.SendUpgrade(devices[3], "missing.bin", size); // the server has no such file
    pc.SendUpgrade(devices[4], "fw.bin", size - 1);  // told a smaller size
    ASSERT_TRUE(pc.AllReach(devices, kUpgradeFail, 30s)) << Progress(lab, pc, devices);

    // The server tells the size it offers: a radio told another stops before any data.
    EXPECT_EQ(JsonField(Radio(lab, devices[0]), "upgrade_received"), "0");
    EXPECT_EQ(JsonField(Radio(lab, devices[4]), "upgrade_received"), "0");
    EXPECT_EQ(JsonField(Radio(lab, devices[1]), "upgrade_received"), std::to_string(size));
    EXPECT_EQ(JsonField(Radio(lab, devices[1]), "upgrade_checksum"), ChecksumText(image));
    EXPECT_EQ(JsonField(Radio(lab, devices[2]), "upgrade_received"), "0");
    EXPECT_EQ(JsonField(Radio(lab, devices[3]), "upgrade_received"), "0");
    for (const Device& d : devices) {
        EXPECT_EQ(JsonField(Radio(lab, d), "upgrade_stage"), "failed") << d.mac;
        EXPECT_EQ(JsonField(Radio(lab, d), "version"), JsonField(d.json, "version")) << d.mac;
    }

    // Told the right size, the first radio now fetches the image and waits for the poll.
    pc.SendUpgrade(devices[0], "fw.bin", size);
    EXPECT_TRUE(test::WaitFor([&] { return pc.Status(devices[0]) == kUpgradeWait; }, 30s));
}

TEST(UpgradeLab, RadioNotPolledFlashesAfterItsWaitAndStillReportsSuccess) {
    test::Lab lab({1,
                   1,
                   {"--poll-wait-ms", "300", "--flash-ms", "200", "--reboot-ms", "500", "--upgrade-version",
                    "V8.0.0"}});
    SKIP_WITHOUT_LAB(lab);
    const std::string image = Pattern(50000, 3);
    FirmwareServer server(lab, {{"fw.bin", image}});
    const auto devices = Devices(lab);
    Pc pc(lab);
    ASSERT_TRUE(pc.Ok());
    ASSERT_TRUE(pc.Discover(devices));
    pc.SendUpgrade(devices[0], "fw.bin", static_cast<uint32_t>(image.size()));
    ASSERT_TRUE(test::WaitFor([&] { return pc.Status(devices[0]) == kUpgradeSuccess; }, 20s));
    EXPECT_EQ(JsonField(Radio(lab, devices[0]), "version"), "V8.0.0");
}

// Loss on the download path only (TFTP ports both ways); the protocol's own ports are left alone.
void AddTransferLoss(const test::Lab& lab, int percent) {
    const std::string nft = "ip netns exec " + lab.RadiosNamespace() + " nft ";
    const std::string rule = " udp sport != 9785-9788 udp dport != 9785-9788 numgen random mod 100 '<' " +
                             std::to_string(percent) + " counter drop";
    for (const std::string& command :
         {nft + "add table inet rfloss",
          nft + "add chain inet rfloss in '{ type filter hook input priority 0; }'",
          nft + "add chain inet rfloss out '{ type filter hook output priority 0; }'",
          nft + "add rule inet rfloss in" + rule, nft + "add rule inet rfloss out" + rule}) {
        const auto result = test::RunShell(command + " 2>&1");
        ASSERT_EQ(result.status, 0) << command << ": " << result.output;
    }
}

// Packets the loss rules dropped, both ways.
long DroppedPackets(const test::Lab& lab) {
    const auto listing =
        test::RunShell("ip netns exec " + lab.RadiosNamespace() + " nft list table inet rfloss");
    long dropped = 0;
    for (size_t at = 0; (at = listing.output.find("packets ", at)) != std::string::npos; at += 8) {
        dropped += std::stol(listing.output.substr(at + 8));
    }
    return dropped;
}

TEST(UpgradeLab, DownloadCompletesWithFivePercentLossBothWaysInLockStepAndWithWindows) {
    SKIP_LAB_UNLESS(test::RunShell("command -v nft").status == 0,
                    "nft is not installed, so no loss can be made");
    for (const char* window : {"0", "16"}) {
        // A radio that is not polled flashes and reboots after a while: here it waits for as long as the
        // test does, so the first radio to finish still waits when the second one reports.
        test::Lab lab(
            {2, 1, {"--tftp-windowsize", window, "--answer-spread-ms", "0", "--poll-wait-ms", "300000"}});
        SKIP_WITHOUT_LAB(lab);
        AddTransferLoss(lab, 5);
        // Small enough that a sanitizer build on a loaded machine still finishes in lock-step.
        const std::string image = Pattern(384u << 10, 4);
        FirmwareServer server(lab, {{"fw.bin", image}});
        const auto devices = Devices(lab);
        Pc pc(lab);
        ASSERT_TRUE(pc.Ok());
        ASSERT_TRUE(pc.Discover(devices));
        for (const Device& d : devices) {
            pc.SendUpgrade(d, "fw.bin", static_cast<uint32_t>(image.size()));
        }
        EXPECT_TRUE(pc.AllReach(devices, kUpgradeWait, 240s))
            << "window " << window << Progress(lab, pc, devices);
        EXPECT_GT(DroppedPackets(lab), 20) << "the rules did drop packets";
        for (const Device& d : devices) {
            EXPECT_EQ(JsonField(Radio(lab, d), "upgrade_checksum"), ChecksumText(image))
                << "window " << window;
        }
    }
}

} // namespace
} // namespace rf
