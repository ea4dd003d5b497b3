// What radiofleet-cli shows a person at a terminal: tables, typos, completion, decoded records.
#include "CliCommand.h"
#include "CliCompletion.h"
#include "EditDistance.h"
#include "RecordOutput.h"
#include "TextTable.h"

#include "core/DisplayWidth.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace rf {
namespace {

using Words = std::vector<std::string>;

TEST(CliDesk, TableColumnsAlignByDisplayWidth) {
    TextTable table({"MAC", "Name", "SSID"});
    table.AddRow({"02:52:01:00:00:01", "北京站1号", "yard"});
    table.AddRow({"02:52:01:00:00:02", "Tower-17 long name", "塔楼"});
    table.AddRow({"02:52:01:00:00:03", "e\xcc\x81", ""});
    const std::string out = table.Render();
    EXPECT_EQ(out, "MAC                Name                SSID\n"
                   "02:52:01:00:00:01  北京站1号           yard\n"
                   "02:52:01:00:00:02  Tower-17 long name  塔楼\n"
                   "02:52:01:00:00:03  e\xcc\x81\n");
}

TEST(CliDesk, ATypoIsAnsweredWithTheNearestCommandOnlyWhenClose) {
    EXPECT_EQ(EditDistance("serch", "search"), 1u);
    EXPECT_EQ(EditDistance("sacn", "scan"), 1u);
    EXPECT_EQ(EditDistance("", "show"), 4u);
    EXPECT_EQ(UnknownCommandText("serch"),
              "unknown command 'serch'; did you mean 'search'? See radiofleet-cli --help");
    EXPECT_NE(UnknownCommandText("rebot").find("'reboot'"), std::string::npos);
    EXPECT_NE(UnknownCommandText("set_ip").find("'set-ip'"), std::string::npos);
    EXPECT_EQ(UnknownCommandText("frobnicate"), "unknown command 'frobnicate'; See radiofleet-cli --help");
    EXPECT_EQ(UnknownCommandText("x"), "unknown command 'x'; See radiofleet-cli --help");
    EXPECT_EQ(UnknownCommandText("\x1b[2J").find('\x1b'), std::string::npos);
    EXPECT_EQ(UnknownOptionText("search", "--jsn"), "unknown option for search: --jsn; did you mean --json?");
    EXPECT_EQ(UnknownOptionText("configure", "--colour"), "unknown option for configure: --colour");
}

TEST(CliDesk, CompletionOffersTheTablesCommandsOptionsAndChoices) {
    const Words verbs = CliCompletions({});
    for (const CliCommand& command : CliCommandTable()) {
        EXPECT_EQ(std::ranges::count(verbs, command.verb), command.synopsis.empty() ? 0 : 1) << command.verb;
    }
    EXPECT_EQ(CliCompletions({"search", "--sort"}), (Words{"mac", "ip", "name"}));
    EXPECT_EQ(CliCompletions({"search", "--seconds"}), Words{}) << "a number is typed";
    EXPECT_EQ(CliCompletions({"search", "--json"}), (Words{"--csv", "--help", "--seconds", "--sort"}));
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01", "--hide-ssid"}), (Words{"on", "off"}));
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01", "--channel"}), Words{"auto"});
    EXPECT_EQ(CliCompletions({"configure", "02:00:00:00:00:01", "--vlan"}), Words{"off"});
    const Words configure = CliCompletions({"configure", "02:00:00:00:00:01"});
    for (const char* option : {"--ssid", "--security", "--dns2", "--reboot", "--no-wait", "--dry-run"}) {
        EXPECT_EQ(std::ranges::count(configure, option), 1) << option;
    }
    EXPECT_EQ(CliCompletions({"transparent-bridge"}), (Words{"on", "off", "--dry-run", "--help"}));
    EXPECT_EQ(CliCompletions({"help"}).size(), verbs.size() - 2);
    EXPECT_EQ(CliCompletions({"serch"}), Words{});
}

TEST(CliDesk, ShowDecodesCodesAndRawKeepsThem) {
    DeviceInfo info;
    info.set_restart_en(1);
    info.set_restart_type(2 | 32);
    info.set_restart_time(1370);
    info.set_rf_type(1);
    info.set_channel(0);
    SecurityBlock security = info.security();
    security.set_secure_mode(3);
    security.set_wpapsk_auth_type(1);
    info.set_security(security);
    const ap_info_stu device = ApInfo::Make("02:52:01:00:00:07", 257, 1, info);
    const std::string decoded = RecordText(device, false);
    for (const char* line :
         {"\nrestart_en: on\n", "\nrestart_type: Monday, Friday\n", "\nrestart_time: 22:50\n",
          "\nsecure_mode: WPA2-PSK\n", "\nwpapsk_auth_type: TKIP\n", "\nchannel: Auto\n",
          "\nrf_type: 5 GHz\n", "\nstatus: Online\n"}) {
        EXPECT_NE(decoded.find(line), std::string::npos) << line << decoded;
    }
    const std::string raw = RecordText(device, true);
    for (const char* line : {"\nrestart_type: 34\n", "\nrestart_time: 1370\n", "\nsecure_mode: 3 (",
                             "\nwpapsk_auth_type: 1\n"}) {
        EXPECT_NE(raw.find(line), std::string::npos) << line << raw;
    }
    info.set_restart_type(254);
    EXPECT_NE(
        RecordText(ApInfo::Make("02:52:01:00:00:07", 257, 1, info), false).find("\nrestart_type: Everyday\n"),
        std::string::npos);
}

} // namespace
} // namespace rf
