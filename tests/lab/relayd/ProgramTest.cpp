#include "LabSupport.h"
#include "TftpClient.h"
#include "core/OperateSystemInfo.h"
#include "core/RunFolder.h"
#include "relayd/FirmwareServer.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace rf {
namespace {

using namespace std::chrono_literals;

// A UDP socket bound to a port; the port stays taken while it lives.
struct PortHolder {
    PortHolder() {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~PortHolder() { ::close(fd); }
    int fd = -1;
    uint16_t port = 0;
};

uint16_t FreePort() {
    return PortHolder().port;
}

// The program under a name of its own in a folder of the test, as the install lays it out.
class ProgramCopy {
public:
    ProgramCopy() {
        std::filesystem::permissions(dir_.Path(), std::filesystem::perms(0755));
        name_ = "Relayd-test-" + std::to_string(::getpid());
        std::filesystem::create_directory(dir_.Path() / "service");
        std::filesystem::create_directory(dir_.Path() / "firmware");
        std::filesystem::copy_file(RF_RELAYD_PROGRAM, Program());
        std::filesystem::permissions(Program(), std::filesystem::perms(0755));
        dir_.Write("firmware/fw.bin", test::PatternData(70000, 11));
    }
    std::string Program() const { return (dir_.Path() / "service" / name_).string(); }
    std::string Firmware() const { return (dir_.Path() / "firmware").string(); }
    void WriteIni(const std::string& text) const { dir_.Write("service/Relayd.ini", text); }
    test::TempDir& Dir() { return dir_; }
    const std::string& Name() const { return name_; }

    // Runs the program to its end with a time limit; its exit code and what it said on standard error.
    std::pair<int, std::string> RunToEnd(const std::string& prefix = "") {
        const auto errors = (dir_.Path() / "stderr.txt").string();
        const int status =
            std::system((prefix + "timeout 10 " + Program() + " 2>" + errors + " >/dev/null").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir_.Read("stderr.txt")};
    }

private:
    test::TempDir dir_;
    std::string name_;
};

bool Fetches(uint16_t port, const std::string& expected) {
    test::TftpClient client("127.0.0.1", port);
    return test::WaitFor(
        [&] {
            test::TftpClient::Options options;
            options.giveUp = 1s;
            const auto result = client.Get("fw.bin", options);
            return result.complete && result.data == expected;
        },
        10s);
}

TEST(RelaydProgram, ServesTheDirectoryOfItsIniAndEndsCleanlyOnSigterm) {
    ProgramCopy copy;
    const uint16_t port = FreePort();
    copy.WriteIni("[SERVER]\nDirectory=" + copy.Firmware() + "\nPort=" + std::to_string(port) + "\n");
    test::ChildProcess server(copy.Program(), {});
    ASSERT_TRUE(server.Started());
    EXPECT_TRUE(Fetches(port, test::PatternData(70000, 11)));
    server.Signal(SIGTERM);
    EXPECT_EQ(server.WaitExit(5s), 0);
}

TEST(RelaydProgram, SaysWhyItCannotStart) {
    ProgramCopy copy;
    auto [code, errors] = copy.RunToEnd();
    EXPECT_EQ(code, 1);
    EXPECT_NE(errors.find("Directory"), std::string::npos) << errors;

    copy.WriteIni("[SERVER]\nDirectory=" + copy.Firmware() + "/missing\nPort=" + std::to_string(FreePort()));
    std::tie(code, errors) = copy.RunToEnd();
    EXPECT_EQ(code, 1);
    EXPECT_NE(errors.find("missing"), std::string::npos) << errors;
    EXPECT_NE(errors.find("No such file"), std::string::npos) << errors;

    PortHolder taken;
    copy.WriteIni("[SERVER]\nDirectory=" + copy.Firmware() + "\nPort=" + std::to_string(taken.port));
    std::tie(code, errors) = copy.RunToEnd();
    EXPECT_EQ(code, 1);
    EXPECT_NE(errors.find("already in use"), std::string::npos) << errors;

    if (::geteuid() == 0 && test::ScratchNamespace::Shell("command -v setpriv") == 0) {
        copy.WriteIni("[SERVER]\nDirectory=" + copy.Firmware() + "\n");
        std::tie(code, errors) = copy.RunToEnd("setpriv --reuid=65534 --regid=65534 --clear-groups ");
        EXPECT_EQ(code, 1);
        EXPECT_NE(errors.find("no permission to bind UDP port 69"), std::string::npos) << errors;
    }
}

TEST(RelaydProgram, WithTheInstalledCapabilityAnOrdinaryUserServesPort69AndOwnsTheProcess) {
    SKIP_LAB_UNLESS(::geteuid() == 0 &&
                        test::ScratchNamespace::Shell("command -v setcap && command -v setpriv") == 0,
                    "needs root, setcap and setpriv to act as an ordinary user");
    ProgramCopy copy;
    copy.WriteIni("[SERVER]\nDirectory=" + copy.Firmware() + "\n");
    ASSERT_EQ(test::ScratchNamespace::Shell("setcap cap_net_bind_service=+ep " + copy.Program()), 0);
    test::ChildProcess server("/usr/bin/setpriv",
                              {"--reuid=65534", "--regid=65534", "--clear-groups", copy.Program()});
    ASSERT_TRUE(server.Started());
    EXPECT_TRUE(Fetches(69, test::PatternData(70000, 11)));
    struct stat st {};
    ASSERT_EQ(::stat(("/proc/" + std::to_string(server.Pid())).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u) << "its own user can find and end it";
    std::string status;
    std::ifstream in("/proc/" + std::to_string(server.Pid()) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("CapEff:")) {
            status = line;
        }
    }
    EXPECT_EQ(status, "CapEff:\t0000000000000000") << "the capability is dropped once the port is bound";
    server.Signal(SIGTERM);
    EXPECT_EQ(server.WaitExit(5s), 0);
}

// Each instance keeps its own settings, made from those beside the server, and its own server: two of
// them side by side serve their own folders, and ending one leaves the other serving.
TEST(FirmwareServer, EachInstanceHasItsOwnSettingsAndEndsOnlyItsOwnServer) {
    ProgramCopy copy;
    const uint16_t port = FreePort();
    const std::string beside = "[SERVER]\nPort=" + std::to_string(port) + "\n";
    copy.WriteIni(beside);
    test::TempDir own;
    COperateSystemInfo system;
    CFirmwareServer firmware(system, copy.Dir().Dir(), copy.Name(), own.Dir());
    EXPECT_EQ(firmware.IniPath(), own.Dir() + "Relayd.ini");
    ASSERT_TRUE(firmware.StartFirmwareServer(copy.Firmware(), {"127.0.0.1"}));
    const auto ini = own.Read("Relayd.ini");
    EXPECT_NE(ini.find("Directory=" + copy.Firmware()), std::string::npos) << ini;
    EXPECT_NE(ini.find("Port=" + std::to_string(port)), std::string::npos) << "the port set beside it holds";
    EXPECT_EQ(copy.Dir().Read("service/Relayd.ini"), beside)
        << "the settings beside the server are left alone";
    EXPECT_TRUE(Fetches(port, test::PatternData(70000, 11)));

    test::TempDir otherOwn;
    copy.Dir().Write("other/fw.bin", "second image");
    const uint16_t otherPort = FreePort();
    copy.WriteIni("[SERVER]\nPort=" + std::to_string(otherPort) + "\n");
    CFirmwareServer other(system, copy.Dir().Dir(), copy.Name(), otherOwn.Dir());
    ASSERT_TRUE(other.StartFirmwareServer(copy.Dir().Dir() + "other", {"127.0.0.1"}));
    EXPECT_TRUE(Fetches(otherPort, "second image"));
    other.StopFirmwareServer();
    EXPECT_FALSE(other.ProgramRuns());
    EXPECT_TRUE(firmware.ProgramRuns()) << "the other instance's stop left this server alone";
    EXPECT_TRUE(Fetches(port, test::PatternData(70000, 11)));
    // The server tells its starter how the transfer went; the client may have finished a moment before.
    EXPECT_TRUE(test::WaitFor([&] {
        const auto transfers = firmware.Transfers();
        const auto it = transfers.find("127.0.0.1");
        return it != transfers.end() && it->second.kind == RelaydMessage::Kind::Done &&
               it->second.file == "fw.bin";
    }));

    // Only the devices being upgraded are served, and the list may change while the server runs.
    test::TftpClient stranger("127.0.0.1", port, "127.0.0.2");
    EXPECT_EQ(stranger.Get("fw.bin").errorCode, std::optional<uint16_t>(2));
    ASSERT_TRUE(firmware.AllowAddresses({"127.0.0.2"}));
    EXPECT_TRUE(test::WaitFor([&] { return stranger.Get("fw.bin").complete; }, 10s));
    firmware.StopFirmwareServer();
    pid_t left = 0;
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(copy.Name(), left));
}

TEST(FirmwareServer, StartWritesTheIniAndStartsTheServerAndStopEndsIt) {
    ProgramCopy copy;
    const uint16_t port = FreePort();
    copy.WriteIni("[SERVER]\nPort=" + std::to_string(port) + "\n");
    COperateSystemInfo system;
    CFirmwareServer firmware(system, copy.Dir().Dir(), copy.Name());
    EXPECT_EQ(firmware.IniPath(), CRunFolder::Process().Path() + "Relayd.ini");

    ASSERT_TRUE(firmware.StartFirmwareServer(copy.Firmware(), {"127.0.0.1"}));
    std::ifstream file(firmware.IniPath());
    const std::string ini((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(ini.find("Directory=" + copy.Firmware()), std::string::npos) << ini;
    EXPECT_NE(ini.find("Port=" + std::to_string(port)), std::string::npos) << "other settings stay";
    pid_t first = 0;
    ASSERT_TRUE(test::WaitFor([&] { return COperateSystemInfo::FindProcessByName(copy.Name(), first); }));
    EXPECT_TRUE(Fetches(port, test::PatternData(70000, 11)));

    // Starting again replaces the running server with one serving the new folder.
    copy.Dir().Write("other/fw.bin", "second image");
    ASSERT_TRUE(firmware.StartFirmwareServer(copy.Dir().Dir() + "other", {"127.0.0.1"}));
    EXPECT_TRUE(Fetches(port, "second image"));
    pid_t second = 0;
    ASSERT_TRUE(COperateSystemInfo::FindProcessByName(copy.Name(), second));
    EXPECT_NE(second, first);

    firmware.StopFirmwareServer();
    pid_t left = 0;
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(copy.Name(), left));
}

TEST(FirmwareServer, FolderNamesSurviveTheIniAndUnsafeOnesAreRefused) {
    ProgramCopy copy;
    const uint16_t port = FreePort();
    copy.WriteIni("[SERVER]\nPort=" + std::to_string(port) + "\n");
    COperateSystemInfo system;
    CFirmwareServer firmware(system, copy.Dir().Dir(), copy.Name());
    const std::string awkward = copy.Dir().Dir() + "'quoted' folder ";
    copy.Dir().Write("'quoted' folder /fw.bin", "awkward");
    ASSERT_TRUE(firmware.StartFirmwareServer(awkward, {"127.0.0.1"}));
    std::string error;
    const auto config = RelaydConfig::Load(firmware.IniPath(), error);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->directory, awkward);
    EXPECT_TRUE(Fetches(port, "awkward"));

    EXPECT_FALSE(firmware.StartFirmwareServer(copy.Firmware() + "\n[SERVER]\nDirectory=/", {}));
    EXPECT_FALSE(firmware.StartFirmwareServer("", {}));
    pid_t pid = 0;
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(copy.Name(), pid)) << "the old server was ended";
    EXPECT_EQ(RelaydConfig::Load(firmware.IniPath(), error)->directory, awkward) << "ini untouched";
}

} // namespace
} // namespace rf
