#include "CliCommand.h"

#include "CliCommands.h"
#include "DeviceOutput.h"
#include "EditDistance.h"

#include "core/Version.h"
#include "operations/OperationCatalogue.h"

#include <algorithm>
#include <iostream>

namespace rf {
namespace {

constexpr std::string_view kProgram = "radiofleet-cli ";
constexpr std::string_view kUsagePrefix = "usage: ";
constexpr std::string_view kUsageIndent = "       ";
constexpr std::string_view kUnknownCommand = "unknown command ";

constexpr std::string_view kDeviceCommandsText =
    "The device commands (all but search, adapters and help) search every 3 seconds until every device\n"
    "they name has answered, for up to 12 seconds (show: S seconds); a device not found gets its own\n"
    "line, \"not found by a search within 12 s\", and exit code 1, the others go ahead. They send, wait\n"
    "for each device's answer and print one line per device. With --dry-run they learn the devices,\n"
    "apply the same checks and print per device the requests they would send, with each setting that\n"
    "would change as \"field: old -> new\" (a key only as \"field: (changed)\"), and send nothing that\n"
    "changes a device.\n";

constexpr std::string_view kSecurityText =
    "MODE is one of None, WEP, WPA-PSK, WPA2-PSK, \"Mixed WPA/WPA2-PSK\", WPA, WPA2 (any case); KEY is\n"
    "the pre-shared key, the default WEP key or the RADIUS key of that mode.\n";

constexpr std::string_view kExitCodesText =
    "Exit codes: 0 done (upgrade: every device of the type upgraded; --dry-run: nothing refused), 1 a\n"
    "device was not found, did not answer, refused or was not upgraded, 2 bad arguments or refused\n"
    "input, 3 the network side or the firmware server could not start, or the device store could not be\n"
    "written, 130 interrupted.\n";

bool ParseHelp(const std::vector<std::string>& rest, CliArguments& a, std::string& error) {
    if (rest.size() > 1) {
        error = "help takes nothing or one of the commands";
        return false;
    }
    if (rest.size() == 1 && FindCliCommand(rest[0]) == nullptr) {
        error = UnknownCommandText(rest[0]);
        return false;
    }
    a.topic = rest.empty() ? std::string() : rest[0];
    return true;
}

bool ParseNothing(const std::vector<std::string>& rest, CliArguments& a, std::string& error) {
    if (!rest.empty()) {
        error = a.command + " takes nothing after it";
        return false;
    }
    return true;
}

int RunHelp(CliSession&, const CliArguments& arguments) {
    const CliCommand* topic = FindCliCommand(arguments.topic);
    std::cout << (topic != nullptr ? CliCommandHelp(*topic) : CliUsage());
    return kExitOk;
}

int RunVersion(CliSession&, const CliArguments&) {
    std::cout << kProgram << kVersionText << "\n";
    return kExitOk;
}

// The synopsis lines, each form behind the prefix (the first) or the indent (the others).
std::string SynopsisLines(std::string_view synopsis, bool& first) {
    std::string out;
    for (size_t start = 0; start < synopsis.size();) {
        const size_t end = std::min(synopsis.find('\n', start), synopsis.size());
        const std::string_view line = synopsis.substr(start, end - start);
        if (!line.starts_with(' ')) {
            out += first ? kUsagePrefix : kUsageIndent;
            out += kProgram;
            first = false;
        }
        out += line;
        out += '\n';
        start = end + 1;
    }
    return out;
}

} // namespace

const std::vector<CliCommand>& CliCommandTable() {
    static const std::vector<CliCommand> table{
        {"search", "search [--seconds S] [--sort mac|ip|name] [--json | --csv]",
         "search runs a search cycle for S seconds (default 10) and lists every device found, by MAC unless\n"
         "--sort says otherwise (ip: whole addresses, numerically, over every subnet): a table, one JSON\n"
         "object per line, or CSV (RFC 4180, UTF-8) with the JSON's field names as its header.\n",
         ParseSearch, RunSearch, CliNeeds::Engine},
        {"adapters", "adapters [--seconds S] [--json]",
         "adapters searches for S seconds (default 3) and lists the usable adapters with the devices in\n"
         "their subnets.\n",
         ParseAdapters, RunAdapters, CliNeeds::Store},
        {"show",
         "show MAC [--json | --raw] [--wait S]",
         "show prints a device's whole stored record (secret keys only by their length), codes by their\n"
         "meaning (secure_mode: WPA2-PSK); --raw prints the codes, --json one object with the codes.\n",
         ParseShow,
         RunShow,
         CliNeeds::Engine,
         false,
         {kDeviceCommandsText}},
        {"configure",
         "configure MAC [--name NAME] [--ssid SSID] [--hide-ssid on|off]\n"
         "                 [--channel N|auto] [--power DBM] [--security MODE] [--key KEY]\n"
         "                 [--ip IP --mask MASK [--gateway GW] [--dns1 IP] [--dns2 IP]]\n"
         "                 [--vlan off | --vlan MANAGE,WLAN] [--reboot off | --reboot HH:MM@DAYS]\n"
         "                 [--no-wait] [--dry-run]",
         "configure starts from the stored record as the configuration dialog opens, applies the dialog's\n"
         "rules, sends only the changed blocks, waits while the device restarts (a VLAN change, up to 60\n"
         "seconds) or moves (an IP change, up to 15 seconds), checks its details and prints one line per\n"
         "block; an omitted gateway or DNS server keeps its stored value, and none clears one (--dns2\n"
         "none). --no-wait sends without waiting: after a VLAN change nothing is checked. DAYS of configure\n"
         "is everyday or a comma list of mon,tue,wed,thu,fri,sat,sun.\n",
         ParseConfigure,
         RunConfigure,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText, kSecurityText}},
        {kScanEntry.verb,
         "scan MAC [--json]",
         "scan asks the device to survey the air (up to 30 seconds) and lists the access points it hears,\n"
         "strongest first.\n",
         ParseScan,
         RunScan,
         CliNeeds::Engine,
         false,
         {kDeviceCommandsText}},
        {kJoinEntry.verb,
         "join MAC --bssid BSSID [--ssid SSID] [--security MODE] [--key KEY]\n"
         "                 [--channel N|auto] [--ip IP --mask MASK [--gateway GW] [--dns1 IP] [--dns2 IP]]\n"
         "                 [--dry-run]",
         "join scans, takes the SSID, channel and security of the access point BSSID as the bridge wizard\n"
         "does, applies the options given with the wizard's rules (MODE one of None, WEP, WPA-PSK,\n"
         "WPA2-PSK, \"Mixed WPA/WPA2-PSK\"), sends SetBridge and prints Bridge success or Bridge fail and\n"
         "the device's details; the IP settings default to the device's current ones.\n",
         ParseJoin,
         RunJoin,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText, kSecurityText}},
        {kRebootEntry.verb,
         "reboot MAC... [--dry-run]",
         "reboot restarts the devices, those that carry a bridged station first.\n",
         ParseMacList,
         RunDeviceCommand,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {kResetEntry.verb,
         "reset MAC... [--dry-run]",
         "reset restores the devices' factory settings, those that carry a bridged station first.\n",
         ParseMacList,
         RunDeviceCommand,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {kRenameEntry.verb,
         "rename MAC NAME [--dry-run]",
         "rename gives the device a new name, checked by the name rules; its own name changes nothing.\n",
         ParseRename,
         RunDeviceCommand,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {kSetIpEntry.verb,
         "set-ip MAC IP MASK [GATEWAY [DNS1 [DNS2]]] [--dry-run]",
         "set-ip gives the device static IP settings. A gateway or DNS server left out keeps its stored\n"
         "value, as configure does; the word none clears one (set-ip MAC IP MASK none: no gateway, the DNS\n"
         "servers kept).\n",
         ParseSetIp,
         RunDeviceCommand,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {kTransparentBridgeEntry.verb,
         "transparent-bridge on|off MAC... [--dry-run]",
         "transparent-bridge switches transparent bridging on or off on devices whose model and work mode\n"
         "have it.\n",
         ParseTransparentBridge,
         RunDeviceCommand,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {kUpgradeEntry.verb,
         "upgrade FILE MAC... [--type MODEL] [--dry-run]",
         "upgrade checks FILE (1 to 10 devices, a readable, non-empty file ending in .bin or .BIN), starts\n"
         "the firmware server on the file's folder and upgrades the devices of MODEL (its text as the Type\n"
         "list shows it, or its code; default: the model of the first MAC); the others are not this type.\n"
         "It ends when every device has come back with its new version or failed, at the latest after the\n"
         "upgrade dialog's 250 seconds, and stops the firmware server.\n",
         ParseUpgrade,
         RunUpgrade,
         CliNeeds::Engine,
         true,
         {kDeviceCommandsText}},
        {"help", "--help | --version\nhelp VERB | VERB --help",
         "help prints this text; help VERB and VERB --help print the synopsis and text of one command.\n",
         ParseHelp, RunHelp, CliNeeds::Nothing},
        {"version", "", "version prints the version of radiofleet-cli.\n", ParseNothing, RunVersion,
         CliNeeds::Nothing},
    };
    return table;
}

const CliCommand* FindCliCommand(std::string_view verb) {
    for (const CliCommand& command : CliCommandTable()) {
        if (command.verb == verb) {
            return &command;
        }
    }
    return nullptr;
}

std::string CliUsage() {
    std::string out;
    bool first = true;
    for (const CliCommand& command : CliCommandTable()) {
        out += SynopsisLines(command.synopsis, first);
    }
    std::vector<std::string_view> shown;
    for (const CliCommand& command : CliCommandTable()) {
        out += command.help;
        for (const std::string_view text : command.shared) {
            if (!text.empty() && std::ranges::find(shown, text) == shown.end()) {
                shown.push_back(text);
                out += text;
            }
        }
    }
    return out + std::string(kExitCodesText);
}

std::string CliSynopsis(const CliCommand& command) {
    bool first = true;
    return SynopsisLines(command.synopsis, first);
}

bool IsUnknownCommandText(std::string_view error) {
    return error.starts_with(kUnknownCommand);
}

std::string UnknownCommandText(std::string_view typed) {
    std::vector<std::string_view> verbs;
    for (const CliCommand& command : CliCommandTable()) {
        verbs.push_back(command.verb);
    }
    const std::string_view nearest = NearestWord(typed, verbs);
    std::string text = std::string(kUnknownCommand) + "'" + PrintableText(typed) + "'; ";
    if (!nearest.empty()) {
        text += "did you mean '" + std::string(nearest) + "'? ";
    }
    return text + "See " + std::string(kProgram) + "--help";
}

std::string CliCommandHelp(const CliCommand& command) {
    std::string out = CliSynopsis(command) + std::string(command.help);
    for (const std::string_view text : command.shared) {
        out += text;
    }
    return out;
}

} // namespace rf
