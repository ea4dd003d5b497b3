// What radiofleet-cli shows a person at a terminal: answers to typos, completion, decoded records.
#include "CliCommand.h"
#include "CliCompletion.h"
#include "RecordOutput.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using Words = std::vector<std::string>;

TEST(CliDesk, TyposAreAnsweredWithTheNearestNameOnlyWhenClose) {
    EXPECT_NE(UnknownCommandText("sacn").find("did you mean 'scan'?"), std::string::npos);
    EXPECT_NE(UnknownCommandText("set_ip").find("did you mean 'set-ip'?"), std::string::npos);
    EXPECT_EQ(UnknownCommandText("frobnicate"), "unknown command 'frobnicate'; See radiofleet-cli --help");
    EXPECT_EQ(UnknownCommandText("x\x1b[2J"), "unknown command 'x?[2J'; See radiofleet-cli --help");
    EXPECT_EQ(UnknownOptionText("search", "--jsn"), "unknown option for search: --jsn; did you mean --json?");
    EXPECT_EQ(UnknownOptionText("configure", "--colour"), "unknown option for configure: --colour");
}

TEST(CliDesk, CompletionOffersTheTablesCommandsOptionsAndChoices) {
    EXPECT_EQ(CliCompletions({}).size(), CliCommandTable().size() - 1 + 2)
        << "all but version, --help, --version";
    EXPECT_EQ(CliCompletions({"search", "--sort"}), (Words{"mac", "ip", "name"}));
    EXPECT_EQ(CliCompletions({"search", "--seconds"}), Words{}) << "a number is typed";
    EXPECT_EQ(CliCompletions({"search", "--json"}), (Words{"--csv", "--help", "--seconds", "--sort"}));
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01", "--hide-ssid"}), (Words{"on", "off"}));
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01", "--channel"}), Words{"auto"});
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01"}).size(), 17u) << "16 and --help";
    EXPECT_EQ(CliCompletions({"transparent-bridge"}), (Words{"on", "off", "--dry-run", "--help"}));
}

TEST(CliDesk, ShowDecodesCodesAndRawKeepsThem) {
    DeviceInfo info;
    info.set_restart_type(2 | 32);
    info.set_restart_time(1370);
    info.set_rf_type(1);
    const std::string decoded = RecordText(ApInfo::Make("02:52:01:00:00:07", 257, 1, info), false);
    for (const char* line :
         {"\nrestart_type: Monday, Friday\n", "\nrestart_time: 22:50\n", "\nrestart_en: off\n",
          "\nchannel: Auto\n", "\nrf_type: 5 GHz\n", "\nsecure_mode: None\n"}) {
        EXPECT_NE(decoded.find(line), std::string::npos) << line << decoded;
    }
    info.set_restart_type(254);
    const std::string raw = RecordText(ApInfo::Make("02:52:01:00:00:07", 257, 1, info), true);
    EXPECT_NE(raw.find("\nrestart_type: 254\nrestart_time: 1370\n"), std::string::npos) << raw;
}

} // namespace
} // namespace rf
