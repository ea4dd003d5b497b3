#include "support/ChildProcess.h"
#include "support/PrivateNetwork.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace rf {
namespace {

// Every test here starts the real program, whose engine searches by broadcast: each runs in a network
// namespace of its own.

bool LockHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

// One run's surroundings; a database left by a killed run is removed first.
struct Program {
    Program() { std::filesystem::remove(database); }
    ~Program() { std::filesystem::remove(database); }

    test::TempDir runtime;
    // The runs keep their view in the run folder, not in the user's own configuration.
    std::vector<std::string> env{"XDG_RUNTIME_DIR=" + runtime.Path().string(),
                                 "XDG_CONFIG_HOME=" + runtime.Path().string(), "QT_QPA_PLATFORM=offscreen"};
    std::string database = std::string(RF_BUNDLE_DIR) + "data.mdb";
};

TEST(SingleInstance, SecondStartEndsSilentlyAndTheFirstRunsOn) {
    ENTER_PRIVATE_NETWORK_OR_SKIP();
    Program p;
    const test::TempDir& runtime = p.runtime;
    const std::vector<std::string>& env = p.env;
    const std::string program = RF_BUNDLE_DIR "radiofleet";
    const std::string lock = runtime.Dir() + "Morva_Brovik-" + std::to_string(::geteuid()) + ".lock";

    test::ChildProcess first(program, {}, env);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(test::WaitFor([&] { return LockHeld(lock) || !first.Running(); }, std::chrono::seconds(30)));
    ASSERT_TRUE(first.Running());

    test::ChildProcess second(program, {}, env);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitExit(std::chrono::seconds(20)), 0);
    EXPECT_TRUE(first.Running());

    first.Signal(SIGKILL); // however the first one ends, the lock goes with it
    first.WaitExit(std::chrono::seconds(10));
    EXPECT_FALSE(LockHeld(lock));
    test::ChildProcess third(program, {}, env);
    EXPECT_TRUE(test::WaitFor([&] { return LockHeld(lock); }, std::chrono::seconds(30)))
        << "a new first instance runs";
    EXPECT_TRUE(third.Running());
}

TEST(Program, ClosingEndsTheProcessAndRemovesTheDatabase) {
    ENTER_PRIVATE_NETWORK_OR_SKIP();
    Program p;
    const std::string shot = p.runtime.Dir() + "window.png";
    test::ChildProcess program(RF_BUNDLE_DIR "radiofleet",
                               {"--screenshot", shot, "--screenshot-delay", "1500"}, p.env);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(test::WaitFor([&] { return std::filesystem::exists(p.database); }, std::chrono::seconds(30)))
        << "the run has its database";
    EXPECT_EQ(program.WaitExit(std::chrono::seconds(30)), 0);
    EXPECT_FALSE(std::filesystem::exists(p.database));
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_EQ(p.runtime.Read("window.png").substr(1, 3), "PNG");
}

TEST(Program, TerminationIsAnOrderlyExit) {
    ENTER_PRIVATE_NETWORK_OR_SKIP();
    Program p;
    test::ChildProcess program(RF_BUNDLE_DIR "radiofleet", {}, p.env);
    ASSERT_TRUE(test::WaitFor([&] { return std::filesystem::exists(p.database); }, std::chrono::seconds(30)));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(std::chrono::seconds(30)), 0);
    EXPECT_FALSE(std::filesystem::exists(p.database));
}

TEST(Program, BadOptionsAreRefusedWithUsage) {
    ENTER_PRIVATE_NETWORK_OR_SKIP();
    Program p;
    test::ChildProcess program(RF_BUNDLE_DIR "radiofleet", {"--language", "klingon"}, p.env);
    EXPECT_EQ(program.WaitExit(std::chrono::seconds(30)), 2);
    EXPECT_FALSE(std::filesystem::exists(p.database)) << "nothing started";
}

} // namespace
} // namespace rf
