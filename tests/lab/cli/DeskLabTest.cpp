// radiofleet-cli at a terminal, among radios with Chinese and hostile names (quotes, line breaks, bad UTF-8).
#include "CliRun.h"
#include "SimRadio.h"

#include "core/DisplayWidth.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace rf::test {
namespace {

// RFC 4180 records: commas outside quotes split fields, "" inside quotes is a quote, CR LF ends a record.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"' && quoted && text[i + 1] == '"') {
            records.back().back() += text[i++];
        } else if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && text[i] == ',') {
            records.back().emplace_back();
        } else if (!quoted && text.compare(i, 2, "\r\n") == 0) {
            records.emplace_back(1);
            ++i;
        } else {
            records.back().back() += text[i];
        }
    }
    records.pop_back(); // after the last CR LF
    return records;
}

TEST(CliDeskLab, HelpTyposTablesCsvAndShowAsAPersonSeesThem) {
    Lab lab({.radios = 20, .subnets = 1, .simArgs = {"--hostile"}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    std::map<std::string, SimRadio> radios;
    for (const auto& line : lab.Radios()) {
        const SimRadio radio = SimRadio::Parse(line);
        radios[radio.mac] = radio;
    }
    const CliRun help = RunCli(lab, runDir, "help configure");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: radiofleet-cli configure MAC", 0), 0u) << help.output;
    EXPECT_EQ(RunCli(lab, runDir, "configure --help").output, help.output);
    EXPECT_EQ(RunCli(lab, runDir, "configure -h").output, help.output);
    CliRun run = RunCli(lab, runDir, "serch --json");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output,
              "radiofleet-cli: unknown command 'serch'; did you mean 'search'? See radiofleet-cli --help\n");

    // Every row's SSID starts in the header's SSID column, whatever the widths of the names before it.
    run = RunCli(lab, runDir, "search --seconds 4");
    ASSERT_EQ(run.status, 0) << run.output;
    const size_t ssidColumn = DisplayWidth(run.lines.at(0).substr(0, run.lines[0].find("SSID")));
    int aligned = 0, chinese = 0;
    for (const std::string& row : run.lines) {
        const auto radio = radios.find(row.substr(0, 17));
        const std::string ssid = radio == radios.end() ? "" : LocalText(radio->second.ssid);
        if (ssid.starts_with("rflab-") && row.ends_with("  " + ssid)) { // not a hostile one
            ++aligned;
            chinese += DisplayWidth(row) < row.size() ? 1 : 0;
            EXPECT_EQ(DisplayWidth(row) - ssid.size(), ssidColumn) << row << "\n" << run.lines[0];
        }
    }
    EXPECT_GE(aligned, 10) << run.output;
    EXPECT_GE(chinese, 1) << run.output;

    // CSV parsed back equals JSON; versions with a line break stay on their JSON line.
    const CliRun json = RunCli(lab, runDir, "search --json --seconds 4");
    const auto records = ParseCsv(RunCli(lab, runDir, "search --csv --seconds 4").output);
    ASSERT_FALSE(records.empty());
    std::map<std::string, std::string> jsonByMac;
    for (const std::string& line : json.lines) {
        EXPECT_TRUE(line.starts_with("{\"mac\":") && line.ends_with("}")) << line;
        jsonByMac[JsonValue(line, "mac")] = line;
    }
    int compared = 0, lineBreaks = 0;
    for (const auto& record : records) {
        if (radios.count(record.at(0)) != 0) { // the hostile sender's announcements change from run to run
            ++compared;
            ASSERT_EQ(record.size(), records[0].size());
            for (size_t f = 0; f < record.size(); ++f) {
                EXPECT_TRUE(records[0][f] == "uptime" ||
                            record[f] == JsonValue(jsonByMac[record[0]], records[0][f]))
                    << records[0][f] << " of " << record[0] << ": " << record[f];
            }
            lineBreaks += radios[record[0]].version.find('\n') != std::string::npos ? 1 : 0;
        }
    }
    EXPECT_EQ(records[0], (std::vector<std::string>{"mac", "ip", "model", "name", "version", "status",
                                                    "work_mode", "ssid", "channel", "uptime", "announced"}));
    EXPECT_EQ(compared, static_cast<int>(radios.size()));
    EXPECT_GE(lineBreaks, 1) << "no radio's version has a line break";

    // show: codes by their meanings (the days' names are checked without a lab), --raw as numbers.
    const std::string mac = radios.begin()->first, truth = lab.Control("get " + mac);
    const std::vector<std::string> modes{"None", "WEP", "WPA-PSK", "WPA2-PSK", "Mixed WPA/WPA2-PSK",
                                         "WPA",  "WPA2"};
    const std::string days = "\nrestart_type: " + JsonValue(truth, "restart_type") + "\n";
    const std::string decoded = RunCli(lab, runDir, "show " + mac).output;
    EXPECT_NE(decoded.find("\nsecure_mode: " + modes.at(std::stoul(JsonValue(truth, "secure_mode"))) + "\n"),
              std::string::npos)
        << decoded;
    EXPECT_EQ(decoded.find(days), std::string::npos) << decoded;
    EXPECT_NE(RunCli(lab, runDir, "show " + mac + " --raw").output.find(days), std::string::npos);
}

} // namespace
} // namespace rf::test
