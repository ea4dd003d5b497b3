#include "app/ApplicationDlg.h"
#include "app/StartupOptions.h"
#include "core/Language.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace rf {
namespace {

TEST(StartupOptions, LanguageOptionAndErrors) {
    EXPECT_EQ(ParseStartupOptions({"radiofleet", "--language", "2052"}).languageId, 2052);
    EXPECT_EQ(ParseStartupOptions({"radiofleet", "--language=1033"}).languageId, 1033);
    EXPECT_EQ(ParseStartupOptions({"radiofleet"}).languageId, 0);
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--language"}).error.empty());
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--language", "zh"}).error.empty());
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--language", "70000"}).error.empty());
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--bogus"}).error.empty());
    EXPECT_TRUE(ParseStartupOptions({"radiofleet", "-platform", "offscreen"}).error.empty());
}

TEST(MainWindow, TitleIsTheProductName) {
    SetLanguageIdOverride(2052);
    LoadLanguage(RF_BUNDLE_DIR);
    CApplicationDlg window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("RadioFleet"));
    SetLanguageIdOverride(0);
}

bool LockHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

TEST(SingleInstance, SecondStartEndsSilentlyAndTheFirstRunsOn) {
    test::TempDir runtime;
    const std::vector<std::string> env{"XDG_RUNTIME_DIR=" + runtime.Path().string(),
                                       "QT_QPA_PLATFORM=offscreen"};
    const std::string program = RF_BUNDLE_DIR "radiofleet";
    const std::string lock = runtime.Dir() + "Morva_Brovik-" + std::to_string(::geteuid()) + ".lock";

    test::ChildProcess first(program, {}, env);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(test::WaitFor([&] { return LockHeld(lock) || !first.Running(); }));
    ASSERT_TRUE(first.Running());

    test::ChildProcess second(program, {}, env);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitExit(std::chrono::seconds(20)), 0);
    EXPECT_TRUE(first.Running());

    first.Signal(SIGKILL); // however the first one ends, the lock goes with it
    first.WaitExit(std::chrono::seconds(10));
    EXPECT_FALSE(LockHeld(lock));
    test::ChildProcess third(program, {}, env);
    EXPECT_TRUE(test::WaitFor([&] { return LockHeld(lock); })) << "a new first instance runs";
    EXPECT_TRUE(third.Running());
}

} // namespace
} // namespace rf
