#include "core/OperateSystemInfo.h"
#include "core/Settings.h"
#include "core/Version.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rf {
namespace {

// A copy of a system program under a name no other process has.
std::string CopyProgram(const test::TempDir& dir, const char* source, const std::string& name) {
    const auto target = dir.Path() / name;
    std::filesystem::copy_file(source, target);
    std::filesystem::permissions(target, std::filesystem::perms(0755));
    return target.string();
}

std::string UniqueName(const char* stem) {
    return std::string(stem) + "-" + std::to_string(::getpid());
}

TEST(SystemInfo, VersionIsOursAndOtherFilesHaveNone) {
    std::string text = "unchanged";
    COperateSystemInfo::GetFileVersionText("/bin/sh", text);
    EXPECT_EQ(text, "unchanged");
    COperateSystemInfo::GetFileVersionText("/proc/self/exe", text);
    EXPECT_EQ(text, std::to_string(kVersionParts[0]) + "." + std::to_string(kVersionParts[1]) + "." +
                        std::to_string(kVersionParts[2]) + "." + std::to_string(kVersionParts[3]));
    test::TempDir dir;
    EXPECT_EQ(LoadSettings(dir.Dir()).versionLabel, "V" + text);
    EXPECT_EQ(COperateSystemInfo().OsKind(), COperateSystemInfo::kOsKindOther);
}

TEST(SystemInfo, RunElevatedStartsInTheProgramsFolderAndCanWait) {
    test::TempDir dir;
    const auto shell = CopyProgram(dir, "/bin/sh", UniqueName("rf-sh"));
    COperateSystemInfo info;
    ASSERT_TRUE(info.RunElevated(shell, {"-c", "sleep 0.2; pwd > cwd.txt"}, true));
    EXPECT_EQ(dir.Read("cwd.txt"), dir.Path().string() + "\n") << "the wait covers the whole run";
    EXPECT_FALSE(info.RunElevated(dir.Dir() + "no-such-program", {}, true));
}

TEST(SystemInfo, RunElevatedReportsWhetherTheProgramRanNotJustWhetherItWasStarted) {
    COperateSystemInfo info;
    EXPECT_TRUE(info.RunElevated("/bin/true", {}, true));
    EXPECT_FALSE(info.RunElevated("/bin/false", {}, true)) << "waited for: its exit status counts";
    EXPECT_FALSE(info.RunElevated("/bin/sh", {"-c", "exit 126"}, true)) << "as pkexec ends when refused";
    EXPECT_FALSE(info.RunElevated("/no/such/program", {}, false));
    EXPECT_FALSE(info.RunElevated("/bin/false", {}, false)) << "a server that ends at once did not start";

    test::TempDir dir;
    const std::string name = UniqueName("rf-server");
    const auto server = CopyProgram(dir, "/bin/sleep", name);
    EXPECT_TRUE(info.RunElevated(server, {"5"}, false)) << "a server still running is started";
    pid_t pid = 0;
    EXPECT_TRUE(COperateSystemInfo::FindProcessByName(name, pid));
    info.KillProcessByName(name);
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(name, pid));
}

TEST(SystemInfo, KillProcessByNameEndsOurMatchingProcessesOnly) {
    test::TempDir dir;
    const std::string name = UniqueName("rf-sleep");
    const auto program = CopyProgram(dir, "/bin/sleep", name);
    COperateSystemInfo info;
    pid_t pid = 0;
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(name, pid));
    EXPECT_EQ(pid, 0);
    info.KillProcessByName(name); // nothing matches: returns at once

    ASSERT_TRUE(info.RunElevated(program, {"60"}, false));
    ASSERT_TRUE(info.RunElevated(program, {"60"}, false));
    ASSERT_TRUE(test::WaitFor([&] { return COperateSystemInfo::FindProcessByName(name, pid); }));
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(name.substr(0, name.size() - 1), pid))
        << "exact names";
    info.KillProcessByName(name);
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(name, pid)) << "both copies ended";
}

TEST(SystemInfo, KillProcessByPathLeavesTheSameProgramInAnotherFolderRunning) {
    test::TempDir mine, theirs;
    const std::string name = UniqueName("rf-path");
    const auto program = CopyProgram(mine, "/bin/sleep", name);
    const auto other = CopyProgram(theirs, "/bin/sleep", name);
    COperateSystemInfo info;
    ASSERT_TRUE(info.RunElevated(program, {"60"}, false));
    ASSERT_TRUE(info.RunElevated(program, {"60"}, false));
    ASSERT_TRUE(info.RunElevated(other, {"60"}, false));
    pid_t pid = 0;
    EXPECT_TRUE(COperateSystemInfo::FindProcessByPath(mine.Dir() + "./" + name, pid)) << "paths are resolved";
    info.KillProcessByPath(program);
    EXPECT_FALSE(COperateSystemInfo::FindProcessByPath(program, pid)) << "both copies from this folder ended";
    EXPECT_TRUE(COperateSystemInfo::FindProcessByPath(other, pid));
    EXPECT_TRUE(COperateSystemInfo::FindProcessByName(name, pid));
    info.KillProcessByPath(mine.Dir() + "missing"); // nothing matches: returns at once
    info.KillProcessByName(name);
    EXPECT_FALSE(COperateSystemInfo::FindProcessByPath(other, pid));
}

TEST(SystemInfo, KillProcessByNameNeverTouchesAnotherUsersProcess) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to start a process as another user";
    }
    test::TempDir dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
    const std::string name = UniqueName("rf-other");
    const auto program = CopyProgram(dir, "/bin/sleep", name);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            ::execl(program.c_str(), name.c_str(), "60", static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    // Wait until the child runs the program (its exe link changes when exec is done).
    ASSERT_TRUE(test::WaitFor([&] {
        std::error_code ec;
        return std::filesystem::read_symlink("/proc/" + std::to_string(other) + "/exe", ec).filename() ==
               name;
    }));
    COperateSystemInfo info;
    pid_t found = 0;
    EXPECT_FALSE(COperateSystemInfo::FindProcessByName(name, found));
    info.KillProcessByName(name);
    EXPECT_EQ(::kill(other, 0), 0) << "the other user's process still runs";
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
}

} // namespace
} // namespace rf
