#include "relayd/RelaydArguments.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(RelaydArguments, SettingsBesideTheProgramUnlessNamed) {
    const auto plain = ParseRelaydArguments({"Relayd"}, "/opt/radiofleet/service/");
    EXPECT_TRUE(plain.error.empty());
    EXPECT_EQ(plain.iniPath, "/opt/radiofleet/service/Relayd.ini");
    EXPECT_FALSE(plain.iniGiven);

    const auto named =
        ParseRelaydArguments({"Relayd", "--config", "/run/user/1000/radiofleet/Relayd.ini"}, "/x/");
    EXPECT_TRUE(named.error.empty());
    EXPECT_EQ(named.iniPath, "/run/user/1000/radiofleet/Relayd.ini");
    EXPECT_TRUE(named.iniGiven);
    EXPECT_EQ(ParseRelaydArguments({"Relayd", "--config=/tmp/a b.ini"}, "/x/").iniPath, "/tmp/a b.ini");
}

TEST(RelaydArguments, MissingOrUnknownArgumentsAreErrorsNotDefaults) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"Relayd", "--config"},
                                                 {"Relayd", "--config", ""},
                                                 {"Relayd", "--config="},
                                                 {"Relayd", "/tmp/Relayd.ini"},
                                                 {"Relayd", "--port", "69"}}) {
        EXPECT_FALSE(ParseRelaydArguments(args, "/x/").error.empty()) << args.back();
    }
    EXPECT_TRUE(ParseRelaydArguments({"Relayd", "--help"}, "/x/").showHelp);
    EXPECT_TRUE(ParseRelaydArguments({"Relayd", "--version"}, "/x/").showVersion);
}

} // namespace
} // namespace rf
