// radiofleet-cli as a person meets it at a terminal, run against simulated radios with Chinese and
// hostile names: per-command help, the answer to a typo, the aligned table, CSV against JSON, decoded show.
#include "CliRun.h"
#include "SimRadio.h"

#include "core/DisplayWidth.h"
#include "core/OperateCharacter.h"
#include "support/Lab.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>

namespace rf::test {
namespace {

const std::vector<std::string> kFields{"mac",       "ip",   "model",   "name",   "version",  "status",
                                       "work_mode", "ssid", "channel", "uptime", "announced"};

// RFC 4180 records: fields split at commas outside quotes, "" inside quotes a quote, CR LF ending a record.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            records.back().back() += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            records.back().emplace_back();
        } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.emplace_back(1);
            ++i;
        } else {
            records.back().back() += c;
        }
    }
    records.pop_back(); // after the last CR LF
    return records;
}

std::string Local(const std::string& deviceText) {
    std::string local;
    COperateCharacter::DeviceTextToLocal(deviceText, local);
    return local;
}

bool Printable(const std::string& text) {
    return !text.empty() && std::ranges::none_of(text, [](char c) { return c >= 0 && c < 0x20; }) &&
           text.find('\x7f') == std::string::npos;
}

// The days of a restart_type's bits as show names them.
std::string Days(int bits) {
    static const std::array<const char*, 7> kDays{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};
    std::string out;
    for (size_t day = 0; day < kDays.size(); ++day) {
        if ((bits & (2 << day)) != 0) {
            out += (out.empty() ? "" : ", ") + std::string(kDays[day]);
        }
    }
    return bits == 254 ? "Everyday" : out;
}

TEST(CliDeskLab, HelpTyposTablesCsvAndShowAsAPersonSeesThem) {
    Lab lab({.radios = 20, .subnets = 1, .simArgs = {"--hostile"}});
    SKIP_WITHOUT_LAB(lab);
    TempDir runDir;
    std::vector<SimRadio> radios;
    for (const auto& line : lab.Radios()) {
        radios.push_back(SimRadio::Parse(line));
    }

    // One command's help, asked three ways; a typo answered in one line.
    const CliRun help = RunCli(lab, runDir, "help configure");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: radiofleet-cli configure MAC", 0), 0u) << help.output;
    EXPECT_EQ(help.output.find("reboot MAC"), std::string::npos) << "only configure's help";
    for (const char* asked : {"configure --help", "configure -h"}) {
        const CliRun run = RunCli(lab, runDir, asked);
        EXPECT_EQ(run.status, 0) << asked;
        EXPECT_EQ(run.output, help.output) << asked;
    }
    CliRun run = RunCli(lab, runDir, "serch --json");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output,
              "radiofleet-cli: unknown command 'serch'; did you mean 'search'? See radiofleet-cli --help\n");

    // The table: every row's SSID starts in the header's SSID column, whatever the names' widths.
    run = RunCli(lab, runDir, "search --seconds 4");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_FALSE(run.lines.empty());
    const std::string& header = run.lines.front();
    ASSERT_EQ(header.rfind("MAC", 0), 0u) << header;
    const size_t ssidColumn = DisplayWidth(header.substr(0, header.find("SSID")));
    int checked = 0, chinese = 0;
    for (const SimRadio& radio : radios) {
        const auto row =
            std::ranges::find_if(run.lines, [&](const std::string& l) { return l.starts_with(radio.mac); });
        ASSERT_NE(row, run.lines.end()) << radio.mac << "\n" << run.output;
        const std::string ssid = Local(radio.ssid), name = Local(radio.name);
        if (!Printable(ssid) || !Printable(name) || !row->ends_with("  " + ssid)) {
            continue; // a hostile name or SSID, shown with '?'
        }
        ++checked;
        chinese += DisplayWidth(name) != name.size() ? 1 : 0;
        EXPECT_EQ(DisplayWidth(row->substr(0, row->size() - ssid.size())), ssidColumn) << *row << "\n"
                                                                                       << header;
    }
    EXPECT_GE(checked, 10) << run.output;
    EXPECT_GE(chinese, 1) << run.output;

    // CSV parsed back equals JSON, field for field; JSON keeps every text on its line.
    const CliRun json = RunCli(lab, runDir, "search --json --seconds 4");
    const CliRun csv = RunCli(lab, runDir, "search --csv --seconds 4");
    ASSERT_EQ(json.status, 0) << json.output;
    ASSERT_EQ(csv.status, 0) << csv.output;
    const auto records = ParseCsv(csv.output);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front(), kFields);
    std::map<std::string, std::string> jsonByMac;
    for (const std::string& line : json.lines) {
        ASSERT_TRUE(line.starts_with("{\"mac\":") && line.ends_with("}")) << line;
        jsonByMac[JsonValue(line, "mac")] = line;
    }
    int compared = 0;
    for (size_t r = 1; r < records.size(); ++r) {
        ASSERT_EQ(records[r].size(), kFields.size()) << csv.output;
        const auto line = jsonByMac.find(records[r][0]);
        const bool simulated =
            std::ranges::any_of(radios, [&](const SimRadio& radio) { return radio.mac == records[r][0]; });
        if (!simulated || line == jsonByMac.end()) {
            continue; // the hostile sender's announcements differ from run to run
        }
        ++compared;
        for (size_t f = 0; f < kFields.size(); ++f) {
            if (kFields[f] == "uptime") {
                EXPECT_LE(std::abs(std::stoi(records[r][f]) - std::stoi(JsonValue(line->second, "uptime"))),
                          15);
            } else {
                EXPECT_EQ(records[r][f], JsonValue(line->second, kFields[f]))
                    << kFields[f] << " of " << records[r][0];
            }
        }
    }
    EXPECT_GE(compared, static_cast<int>(radios.size()));
    int multiLineVersions = 0;
    for (const SimRadio& radio : radios) {
        if (radio.version.find('\n') != std::string::npos) {
            ++multiLineVersions;
            EXPECT_EQ(JsonValue(jsonByMac[radio.mac], "version"), radio.version);
            EXPECT_NE(jsonByMac[radio.mac].find("\\n"), std::string::npos) << jsonByMac[radio.mac];
        }
    }
    EXPECT_GE(multiLineVersions, 1) << "no radio's version has a line break";

    // show: codes by their meanings, --raw as the numbers.
    const SimRadio& shown = radios[1];
    const std::string truth = lab.Control("get " + shown.mac);
    const int restartType = std::stoi(JsonValue(truth, "restart_type"));
    const int secureMode = std::stoi(JsonValue(truth, "secure_mode"));
    static const std::array<const char*, 7> kModes{"None", "WEP", "WPA-PSK", "WPA2-PSK", "Mixed WPA/WPA2-PSK",
                                                   "WPA",  "WPA2"};
    run = RunCli(lab, runDir, "show " + shown.mac);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\nrestart_type: " + Days(restartType) + "\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\nsecure_mode: " + std::string(kModes.at(secureMode)) + "\n"),
              std::string::npos)
        << run.output;
    run = RunCli(lab, runDir, "show " + shown.mac + " --raw");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\nrestart_type: " + std::to_string(restartType) + "\n"), std::string::npos)
        << run.output;
}

} // namespace
} // namespace rf::test
