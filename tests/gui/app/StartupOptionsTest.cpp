#include "app/StartupOptions.h"

#include <gtest/gtest.h>

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
    const auto shot = ParseStartupOptions({"radiofleet", "--page=135", "--screenshot", "a.png"});
    EXPECT_EQ(shot.pageId, 135);
    EXPECT_EQ(shot.screenshotPath, "a.png");
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--screenshot-delay", "-5"}).error.empty());
}

TEST(StartupOptions, SearchAndMaximisedAreFlags) {
    const auto both = ParseStartupOptions({"radiofleet", "--search", "--maximised"});
    EXPECT_TRUE(both.error.empty());
    EXPECT_TRUE(both.search);
    EXPECT_TRUE(both.maximised);
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--search"}).maximised);
}

TEST(StartupOptions, HelpAndVersionAreFlagsThatOtherErrorsStillBeat) {
    EXPECT_TRUE(ParseStartupOptions({"radiofleet", "--version"}).showVersion);
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--version"}).showHelp);
    EXPECT_TRUE(ParseStartupOptions({"radiofleet", "--help"}).showHelp);
    EXPECT_TRUE(ParseStartupOptions({"radiofleet", "-h"}).showHelp);
    EXPECT_FALSE(ParseStartupOptions({"radiofleet", "--version", "--bogus"}).error.empty());
    for (const char* option :
         {"--language", "--page", "--search", "--maximised", "--screenshot", "--version"}) {
        EXPECT_NE(std::string(kUsage).find(option), std::string::npos) << option << " is explained by --help";
    }
}

} // namespace
} // namespace rf
