#include "CliArguments.h"

#include "CliCommand.h"
#include "CliCompletion.h"

#include "protocol/CodeTables.h"
#include "rules/RebootScheduleForm.h"

#include <algorithm>
#include <charconv>

namespace rf {

namespace {

bool ParseSeconds(const std::string& text, int& seconds) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return ec == std::errc() && end == text.data() + text.size() && seconds >= 1 && seconds <= 86400;
}

// The orders search lists devices in: ip orders whole addresses, numerically, as the pages do.
std::optional<SortKey> ListOrderOf(const std::string& text) {
    if (text == "mac") {
        return SortKey::Mac;
    }
    if (text == "ip") {
        return SortKey::IpAddress;
    }
    if (text == "name") {
        return SortKey::Name;
    }
    return std::nullopt;
}

// Options of search and adapters; anything else is an error.
bool ParseListOptions(const std::vector<std::string>& rest, CliArguments& a, std::string& error) {
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--json") {
            a.json = true;
        } else if (rest[i] == "--seconds" && i + 1 < rest.size()) {
            if (!ParseSeconds(rest[++i], a.seconds)) {
                error = "--seconds takes a whole number from 1 to 86400";
                return false;
            }
        } else {
            error = UnknownOptionText(a.command, rest[i]);
            return false;
        }
    }
    return true;
}

bool TakeMacs(const std::vector<std::string>& texts, CliArguments& a, std::string& error) {
    if (texts.empty()) {
        error = a.command + " needs at least one MAC";
        return false;
    }
    for (const std::string& text : texts) {
        const auto mac = ParseMacText(text);
        if (!mac) {
            error = "not a MAC address: " + text;
            return false;
        }
        a.macs.push_back(MacBytesToText(*mac));
    }
    return true;
}

bool ParseOnOff(const std::string& text, std::optional<bool>& value) {
    if (text != "on" && text != "off") {
        return false;
    }
    value = text == "on";
    return true;
}

bool ParseChannel(const std::string& text, ConfigureOptions& c) {
    int channel = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), channel);
    if (text == "auto" || text == "Auto") {
        c.channel = 0;
        return true;
    }
    c.channel = channel;
    return ec == std::errc() && end == text.data() + text.size() && channel >= 0 && channel <= 255;
}

bool ParseVlan(const std::string& text, ConfigureOptions& c) {
    if (text == "off") {
        c.vlan = false;
        return true;
    }
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    c.vlan = true;
    c.vlanManage = text.substr(0, comma);
    c.vlanWlan = text.substr(comma + 1);
    return true;
}

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// off, or HH:MM@DAYS; the hour and minute ranges are the tab's rules, checked later.
bool ParseReboot(const std::string& text, ConfigureOptions& c) {
    if (text == "off") {
        c.reboot = false;
        return true;
    }
    const size_t colon = text.find(':');
    const size_t at = text.find('@');
    if (colon == std::string::npos || at == std::string::npos || at < colon) {
        return false;
    }
    c.reboot = true;
    c.rebootHour = text.substr(0, colon);
    c.rebootMinute = text.substr(colon + 1, at - colon - 1);
    const auto days = ParseDays(text.substr(at + 1));
    c.rebootDays = days.value_or(0);
    return days && IsDigits(c.rebootHour) && IsDigits(c.rebootMinute);
}

// One option with its value; false with error set when it is not understood.
bool ParseConfigureOption(const std::string& option, const std::string& value, ConfigureOptions& c,
                          std::string& error) {
    bool ok = true;
    if (option == "--name") {
        c.name = value;
    } else if (option == "--ssid") {
        c.ssid = value;
    } else if (option == "--hide-ssid") {
        ok = ParseOnOff(value, c.hideSsid);
    } else if (option == "--channel") {
        ok = ParseChannel(value, c);
    } else if (option == "--power") {
        c.power = value;
    } else if (option == "--security") {
        c.security = value;
    } else if (option == "--key") {
        c.key = value;
    } else if (option == "--ip") {
        c.ipSettings.ip = value;
    } else if (option == "--mask") {
        c.ipSettings.mask = value;
    } else if (option == "--gateway") {
        c.ipSettings.gateway = value;
    } else if (option == "--dns1") {
        c.ipSettings.dns1 = value;
    } else if (option == "--dns2") {
        c.ipSettings.dns2 = value;
    } else if (option == "--vlan") {
        ok = ParseVlan(value, c);
    } else if (option == "--reboot") {
        ok = ParseReboot(value, c);
    } else {
        error = UnknownOptionText("configure", option);
        return false;
    }
    if (!ok) {
        error = "bad value for " + option + ": " + value;
    }
    return ok;
}

} // namespace

bool ParseSearch(const CliRest& rest, CliArguments& a, std::string& error) {
    CliRest others;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--csv") {
            a.csv = true;
            continue;
        }
        if (rest[i] != "--sort") {
            others.push_back(rest[i]);
            continue;
        }
        const std::optional<SortKey> key = i + 1 < rest.size() ? ListOrderOf(rest[++i]) : std::nullopt;
        if (!key) {
            error = "--sort takes mac, ip or name";
            return false;
        }
        a.sort = *key;
    }
    if (!ParseListOptions(others, a, error)) {
        return false;
    }
    if (a.csv && a.json) {
        error = "search takes --json or --csv, not both";
        return false;
    }
    return true;
}

bool ParseAdapters(const CliRest& rest, CliArguments& a, std::string& error) {
    a.seconds = kAdapterSearchSeconds;
    return ParseListOptions(rest, a, error);
}

bool ParseConfigure(const CliRest& rest, CliArguments& a, std::string& error) {
    if (rest.empty()) {
        error = "configure needs a MAC";
        return false;
    }
    for (size_t i = 1; i < rest.size(); i += 2) {
        if (rest[i] == "--no-wait") {
            a.configure.noWait = true;
            --i; // the one option without a value
            continue;
        }
        if (i + 1 >= rest.size()) {
            error = rest[i] + " needs a value";
            return false;
        }
        if (!ParseConfigureOption(rest[i], rest[i + 1], a.configure, error)) {
            return false;
        }
    }
    if (a.configure.ipSettings.ip.has_value() != a.configure.ipSettings.mask.has_value()) {
        error = "--ip and --mask go together";
        return false;
    }
    return TakeMacs({rest[0]}, a, error);
}

bool ParseJoin(const CliRest& rest, CliArguments& a, std::string& error) {
    static const std::vector<std::string> kOverrides{"--ssid", "--security", "--key",  "--channel", "--ip",
                                                     "--mask", "--gateway",  "--dns1", "--dns2"};
    if (rest.empty()) {
        error = "join needs a MAC";
        return false;
    }
    for (size_t i = 1; i < rest.size(); i += 2) {
        if (i + 1 >= rest.size()) {
            error = rest[i] + " needs a value";
            return false;
        }
        if (rest[i] == "--bssid") {
            const auto bssid = ParseMacText(rest[i + 1]);
            if (!bssid) {
                error = "not a MAC address: " + rest[i + 1];
                return false;
            }
            a.bssid = MacBytesToText(*bssid);
        } else if (std::ranges::find(kOverrides, rest[i]) == kOverrides.end()) {
            error = UnknownOptionText("join", rest[i]);
            return false;
        } else if (!ParseConfigureOption(rest[i], rest[i + 1], a.configure, error)) {
            return false;
        }
    }
    if (a.bssid.empty()) {
        error = "join needs --bssid";
        return false;
    }
    if (a.configure.ipSettings.ip.has_value() != a.configure.ipSettings.mask.has_value()) {
        error = "--ip and --mask go together";
        return false;
    }
    return TakeMacs({rest[0]}, a, error);
}

bool ParseShow(const CliRest& rest, CliArguments& a, std::string& error) {
    bool ok = !rest.empty();
    for (size_t i = 1; ok && i < rest.size(); ++i) {
        if (rest[i] == "--json") {
            a.json = true;
        } else if (rest[i] == "--raw") {
            a.raw = true;
        } else {
            ok = rest[i] == "--wait" && i + 1 < rest.size() && ParseSeconds(rest[++i], a.wait);
        }
    }
    if (!ok) {
        error = "show takes MAC [--json | --raw] [--wait S] (S from 1 to 86400)";
        return false;
    }
    return TakeMacs({rest[0]}, a, error);
}

bool ParseScan(const CliRest& rest, CliArguments& a, std::string& error) {
    if (rest.empty() || rest.size() > 2 || (rest.size() == 2 && rest[1] != "--json")) {
        error = "scan takes MAC [--json]";
        return false;
    }
    a.json = rest.size() == 2;
    return TakeMacs({rest[0]}, a, error);
}

bool ParseUpgrade(const CliRest& rest, CliArguments& a, std::string& error) {
    std::vector<std::string> macs;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == "--type" && i + 1 < rest.size()) {
            a.type = rest[++i];
        } else {
            macs.push_back(rest[i]);
        }
    }
    if (rest.empty() || rest[0].starts_with("--")) {
        error = "upgrade takes FILE MAC... [--type MODEL]";
        return false;
    }
    a.file = rest[0];
    // No MAC at all is refused with the upgrade's own message, once the command runs.
    return macs.empty() || TakeMacs(macs, a, error);
}

bool ParseMacList(const CliRest& rest, CliArguments& a, std::string& error) {
    return TakeMacs(rest, a, error);
}

bool ParseRename(const CliRest& rest, CliArguments& a, std::string& error) {
    if (rest.size() != 2) {
        error = "rename takes MAC NAME";
        return false;
    }
    a.name = rest[1];
    return TakeMacs({rest[0]}, a, error);
}

bool ParseSetIp(const CliRest& rest, CliArguments& a, std::string& error) {
    if (rest.size() < 3 || rest.size() > 6) {
        error = "set-ip takes MAC IP MASK [GATEWAY [DNS1 [DNS2]]]";
        return false;
    }
    const auto field = [&](size_t i) { return i < rest.size() ? std::optional(rest[i]) : std::nullopt; };
    a.configure.ipSettings = {rest[1], rest[2], field(3), field(4), field(5)};
    return TakeMacs({rest[0]}, a, error);
}

bool ParseTransparentBridge(const CliRest& rest, CliArguments& a, std::string& error) {
    if (rest.empty() || (rest[0] != "on" && rest[0] != "off")) {
        error = "transparent-bridge takes on|off MAC...";
        return false;
    }
    a.on = rest[0] == "on";
    return TakeMacs({rest.begin() + 1, rest.end()}, a, error);
}

namespace {

// --help, -h and --version stand for these verbs when nothing follows them.
std::string AliasedVerb(const std::string& first) {
    if (first == "--help" || first == "-h") {
        return "help";
    }
    return first == "--version" ? "version" : first;
}

} // namespace

std::optional<CliArguments> ParseCliArguments(const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "no command";
        return std::nullopt;
    }
    CliArguments a;
    a.command = AliasedVerb(args[0]);
    CliRest rest(args.begin() + 1, args.end());
    const CliCommand* command = FindCliCommand(a.command);
    if (command == nullptr) {
        error = UnknownCommandText(args[0]);
        return std::nullopt;
    }
    if (a.command != args[0] && !rest.empty()) {
        error = args[0] + " takes nothing after it";
        return std::nullopt;
    }
    if (std::ranges::find(rest, "--help") != rest.end() || std::ranges::find(rest, "-h") != rest.end()) {
        a.command = "help";
        a.topic = command->verb;
        return a;
    }
    if (command->dryRun) {
        a.dryRun = std::erase(rest, "--dry-run") > 0;
    }
    return command->parse(rest, a, error) ? std::optional(a) : std::nullopt;
}

} // namespace rf
