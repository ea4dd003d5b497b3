#include "CliArguments.h"
#include "CliCommand.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace rf {
namespace {

std::optional<CliArguments> Parse(std::vector<std::string> args, std::string* errorOut = nullptr) {
    std::string error;
    auto parsed = ParseCliArguments(args, error);
    if (errorOut != nullptr) {
        *errorOut = error;
    }
    EXPECT_EQ(parsed.has_value(), error.empty()) << error;
    return parsed;
}

TEST(CliArguments, SearchTakesSecondsAndJson) {
    const auto defaults = Parse({"search"});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->seconds, 10);
    EXPECT_FALSE(defaults->json);
    const auto given = Parse({"search", "--json", "--seconds", "25"});
    ASSERT_TRUE(given);
    EXPECT_EQ(given->seconds, 25);
    EXPECT_TRUE(given->json);
    for (const char* bad : {"0", "-3", "5s", "", "86401"}) {
        EXPECT_FALSE(Parse({"search", "--seconds", bad})) << bad;
    }
    EXPECT_FALSE(Parse({"search", "--seconds"}));
    EXPECT_EQ(Parse({"adapters"})->seconds, kAdapterSearchSeconds);
    EXPECT_EQ(Parse({"adapters", "--seconds", "5"})->seconds, 5);
    EXPECT_FALSE(Parse({"adapters", "--seconds", "0"}));
    EXPECT_FALSE(Parse({"search", "--verbose"}));
    EXPECT_EQ(defaults->sort, SortKey::Mac);
    EXPECT_EQ(Parse({"search", "--sort", "ip", "--json"})->sort, SortKey::IpAddress);
    EXPECT_FALSE(Parse({"search", "--sort", "octet"}));
    EXPECT_FALSE(Parse({"search", "--sort"}));
    EXPECT_FALSE(Parse({"adapters", "--sort", "ip"}));
    EXPECT_TRUE(Parse({"search", "--csv", "--sort", "ip"})->csv);
    EXPECT_FALSE(Parse({"search", "--csv", "--json"}));
}

TEST(CliArguments, UpgradeTakesAFileMacsAndAnOptionalTypeAnywhereAfterTheFile) {
    const auto parsed =
        Parse({"upgrade", "/fw/V2.bin", "02:AB:01:00:00:0F", "--type", "Hirta", "2:ab:1:0:0:e"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->file, "/fw/V2.bin");
    EXPECT_EQ(parsed->type, "Hirta");
    EXPECT_EQ(parsed->macs, (std::vector<std::string>{"02:ab:01:00:00:0f", "02:ab:01:00:00:0e"}));
    const auto noMacs = Parse({"upgrade", "/fw/V2.bin"});
    ASSERT_TRUE(noMacs) << "refused later with the upgrade's own message";
    EXPECT_TRUE(noMacs->macs.empty());
    EXPECT_TRUE(noMacs->type.empty());
    EXPECT_FALSE(Parse({"upgrade"}));
    EXPECT_FALSE(Parse({"upgrade", "--type", "Hirta"}));
    EXPECT_FALSE(Parse({"upgrade", "/fw/V2.bin", "not-a-mac"}));
}

TEST(CliArguments, HelpAndVersionStandAlone) {
    EXPECT_EQ(Parse({"--version"})->command, "version");
    EXPECT_EQ(Parse({"--help"})->command, "help");
    EXPECT_EQ(Parse({"-h"})->command, "help");
    // Not mistaken for a device command that would start the engine, nor taken with anything after it.
    EXPECT_FALSE(Parse({"--version", "search"}));
    EXPECT_FALSE(Parse({"--help", "reboot"}));
    EXPECT_FALSE(Parse({"search", "--version"}));
    EXPECT_NE(CliUsage().find("--version"), std::string::npos);
}

TEST(CliArguments, EveryCommandHasItsOwnHelpAndTheUsageListsThemAll) {
    const std::string usage = CliUsage();
    for (const CliCommand& command : CliCommandTable()) {
        const std::string verb(command.verb);
        const auto asked = Parse({verb, "--help"});
        ASSERT_TRUE(asked) << verb;
        EXPECT_EQ(asked->command, "help");
        EXPECT_EQ(asked->topic, verb);
        const auto named = Parse({"help", verb});
        ASSERT_TRUE(named) << verb;
        EXPECT_EQ(named->topic, verb);
        const std::string help = CliCommandHelp(command);
        EXPECT_NE(help.find(command.help), std::string::npos) << verb;
        EXPECT_NE(usage.find(command.help), std::string::npos) << verb;
        if (!command.synopsis.empty()) {
            const std::string firstLine(command.synopsis.substr(0, command.synopsis.find('\n')));
            EXPECT_EQ(help.rfind("usage: radiofleet-cli " + firstLine + "\n", 0), 0u) << help;
            EXPECT_NE(usage.find("radiofleet-cli " + firstLine + "\n"), std::string::npos) << verb;
        }
    }
    // A --help or -h anywhere after the verb asks for help instead of acting, whatever else is wrong.
    EXPECT_EQ(Parse({"reboot", "02:00:00:00:00:01", "not-a-mac", "--help"})->topic, "reboot");
    EXPECT_EQ(Parse({"configure", "-h"})->topic, "configure");
    EXPECT_FALSE(Parse({"frobnicate"}));
    EXPECT_FALSE(Parse({"help", "reboot", "reset"}));
    EXPECT_TRUE(Parse({"help"})->topic.empty());
    const std::string configure = CliCommandHelp(*FindCliCommand("configure"));
    EXPECT_NE(configure.find("                 [--vlan off | --vlan MANAGE,WLAN]"), std::string::npos)
        << "continuation lines keep their indentation";
    EXPECT_NE(configure.find("MODE is one of"), std::string::npos) << configure;
    EXPECT_EQ(usage.find("MODE is one of"), usage.rfind("MODE is one of")) << "shared text shown once";
    EXPECT_NE(usage.find("Exit codes:"), std::string::npos);
}

TEST(CliArguments, DryRunAndWaitAreTakenOnlyWhereOffered) {
    const std::vector<std::string> changing{
        "configure", "join", "reboot", "reset", "rename", "set-ip", "transparent-bridge", "upgrade"};
    for (const CliCommand& command : CliCommandTable()) {
        EXPECT_EQ(command.dryRun, std::ranges::find(changing, command.verb) != changing.end())
            << command.verb;
    }
    const auto reboot = Parse({"reboot", "--dry-run", "02:00:00:00:00:01"});
    ASSERT_TRUE(reboot);
    EXPECT_TRUE(reboot->dryRun);
    EXPECT_EQ(reboot->macs, std::vector<std::string>{"02:00:00:00:00:01"});
    EXPECT_TRUE(Parse({"configure", "02:00:00:00:00:01", "--name", "x", "--dry-run"})->dryRun);
    EXPECT_FALSE(Parse({"reboot", "02:00:00:00:00:01"})->dryRun);
    EXPECT_FALSE(Parse({"search", "--dry-run"}));
    EXPECT_FALSE(Parse({"show", "02:00:00:00:00:01", "--dry-run"}));

    const auto show = Parse({"show", "02:00:00:00:00:01", "--wait", "3", "--json"});
    ASSERT_TRUE(show);
    EXPECT_EQ(show->wait, 3);
    EXPECT_TRUE(show->json);
    EXPECT_EQ(Parse({"show", "02:00:00:00:00:01"})->wait, kLearnSeconds);
    EXPECT_FALSE(Parse({"show", "02:00:00:00:00:01", "--wait", "0"}));
    EXPECT_FALSE(Parse({"show", "02:00:00:00:00:01", "--wait"}));
    EXPECT_FALSE(Parse({"scan", "02:00:00:00:00:01", "--wait", "3"}));
}

TEST(CliArguments, MacsAreCheckedAndWrittenInLowerCase) {
    const auto parsed = Parse({"reboot", "02:AB:01:00:00:0F", "2:ab:1:0:0:e"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->macs, (std::vector<std::string>{"02:ab:01:00:00:0f", "02:ab:01:00:00:0e"}));
    std::string error;
    EXPECT_FALSE(Parse({"reset", "02:ab:01:00:00"}, &error));
    EXPECT_NE(error.find("02:ab:01:00:00"), std::string::npos);
    EXPECT_FALSE(Parse({"reset"}));
    EXPECT_FALSE(Parse({"reboot", "02:ab:01:00:00:0g"}));
}

TEST(CliArguments, SetIpLeavesOmittedAddressesOut) {
    const auto parsed = Parse({"set-ip", "02:00:00:00:00:01", "10.0.0.5", "255.255.255.0", "10.0.0.1"});
    ASSERT_TRUE(parsed);
    const IpSettingsInput& given = parsed->configure.ipSettings;
    EXPECT_EQ(given.ip, "10.0.0.5");
    EXPECT_EQ(given.mask, "255.255.255.0");
    EXPECT_EQ(given.gateway, "10.0.0.1");
    EXPECT_EQ(given.dns1, std::nullopt) << "kept as stored";
    EXPECT_EQ(given.dns2, std::nullopt);
    EXPECT_FALSE(Parse({"set-ip", "02:00:00:00:00:01", "10.0.0.5"}));
    EXPECT_FALSE(Parse({"set-ip", "02:00:00:00:00:01", "1", "2", "3", "4", "5", "6"}));
}

TEST(CliArguments, RenameAndTransparentBridge) {
    const auto rename = Parse({"rename", "02:00:00:00:00:01", "北京 1"});
    ASSERT_TRUE(rename);
    EXPECT_EQ(rename->name, "北京 1");
    EXPECT_FALSE(Parse({"rename", "02:00:00:00:00:01"}));
    EXPECT_FALSE(Parse({"rename", "02:00:00:00:00:01", "a", "b"}));

    const auto on = Parse({"transparent-bridge", "on", "02:00:00:00:00:01", "02:00:00:00:00:02"});
    ASSERT_TRUE(on);
    EXPECT_TRUE(on->on);
    EXPECT_EQ(on->macs.size(), 2u);
    const auto off = Parse({"transparent-bridge", "off", "02:00:00:00:00:01"});
    ASSERT_TRUE(off);
    EXPECT_FALSE(off->on);
    EXPECT_FALSE(Parse({"transparent-bridge", "On", "02:00:00:00:00:01"}));
    EXPECT_FALSE(Parse({"transparent-bridge", "on"}));
    EXPECT_FALSE(Parse({"frobnicate"}));
    EXPECT_FALSE(Parse({}));
}

TEST(CliArguments, ShowAndConfigureOptions) {
    const auto show = Parse({"show", "02:00:00:00:00:0A", "--json"});
    ASSERT_TRUE(show);
    EXPECT_TRUE(show->json);
    EXPECT_EQ(show->macs, std::vector<std::string>{"02:00:00:00:00:0a"});
    EXPECT_FALSE(Parse({"show", "02:00:00:00:00:0a", "--yaml"}));
    EXPECT_TRUE(Parse({"show", "02:00:00:00:00:0a", "--raw"})->raw);

    const auto all = Parse({"configure", "02:00:00:00:00:01", "--name",   "Mast",     "--channel",
                            "auto",      "--hide-ssid",       "on",       "--vlan",   "10,20",
                            "--reboot",  "03:30@mon,fri",     "--ip",     "10.0.0.2", "--mask",
                            "255.0.0.0", "--security",        "WPA2-PSK", "--key",    "12345678"});
    ASSERT_TRUE(all);
    const ConfigureOptions& c = all->configure;
    EXPECT_EQ(c.name, "Mast");
    EXPECT_EQ(c.channel, 0);
    EXPECT_EQ(c.hideSsid, true);
    EXPECT_EQ(c.vlan, true);
    EXPECT_EQ(c.vlanManage, "10");
    EXPECT_EQ(c.vlanWlan, "20");
    EXPECT_EQ(c.reboot, true);
    EXPECT_EQ(c.rebootHour, "03");
    EXPECT_EQ(c.rebootMinute, "30");
    EXPECT_EQ(c.rebootDays, 2 | 32);
    EXPECT_FALSE(c.ipSettings.gateway) << "an omitted gateway keeps the stored one";
    EXPECT_FALSE(c.noWait);
    const auto off =
        Parse({"configure", "02:00:00:00:00:01", "--vlan", "off", "--no-wait", "--reboot", "off"});
    ASSERT_TRUE(off);
    EXPECT_EQ(off->configure.vlan, false);
    EXPECT_EQ(off->configure.reboot, false);
    EXPECT_TRUE(off->configure.noWait) << "the flag takes no value";

    std::string error;
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--ip", "10.0.0.2"}, &error));
    EXPECT_EQ(error, "--ip and --mask go together");
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--channel", "x1"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--reboot", "3:30@funday"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--reboot", "330@mon"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--vlan", "10"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--hide-ssid", "yes"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--name"}));
    EXPECT_FALSE(Parse({"configure", "02:00:00:00:00:01", "--colour", "red"}));
    EXPECT_FALSE(Parse({"configure"}));
}

TEST(CliArguments, ScanAndJoinTakeTheWizardsOptions) {
    const auto scan = Parse({"scan", "02:AB:00:00:00:01", "--json"});
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->macs, std::vector<std::string>{"02:ab:00:00:00:01"});
    EXPECT_TRUE(scan->json);
    EXPECT_FALSE(Parse({"scan"}));

    const auto join =
        Parse({"join", "02:00:00:00:00:01", "--bssid", "02:AA:00:00:00:07", "--security", "WPA2-PSK", "--key",
               "bridge-key", "--channel", "auto", "--ip", "10.0.0.5", "--mask", "255.255.255.0"});
    ASSERT_TRUE(join);
    EXPECT_EQ(join->bssid, "02:aa:00:00:00:07");
    EXPECT_EQ(join->configure.security, "WPA2-PSK");
    EXPECT_EQ(join->configure.key, "bridge-key");
    EXPECT_EQ(join->configure.channel, 0);
    EXPECT_EQ(join->configure.ipSettings.ip, "10.0.0.5");

    std::string error;
    EXPECT_FALSE(Parse({"join", "02:00:00:00:00:01"}, &error));
    EXPECT_EQ(error, "join needs --bssid");
    EXPECT_FALSE(Parse({"join", "02:00:00:00:00:01", "--bssid", "nonsense"}));
    EXPECT_FALSE(Parse({"join", "02:00:00:00:00:01", "--bssid", "02:aa:00:00:00:07", "--name", "x"}, &error))
        << "join does not rename";
    EXPECT_FALSE(
        Parse({"join", "02:00:00:00:00:01", "--bssid", "02:aa:00:00:00:07", "--ip", "10.0.0.5"}, &error));
    EXPECT_EQ(error, "--ip and --mask go together");
}

} // namespace
} // namespace rf
