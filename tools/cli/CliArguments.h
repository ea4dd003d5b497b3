#pragma once

#include "operations/OperationCatalogue.h"

#include "store/SortKey.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rf {

// What the command line asked for. Values are checked for form here (numbers, MAC texts, on|off); the
// device rules are applied once the devices are known.
// How long adapters searches before it counts each adapter's devices, unless told.
inline constexpr int kAdapterSearchSeconds = 3;
// How long a device command searches for the devices it names, unless told (show --wait).
inline constexpr int kLearnSeconds = 12;

// What configure changes; everything left out keeps the value the configuration dialog opens with.
struct ConfigureOptions {
    std::optional<std::string> name, ssid;
    std::optional<bool> hideSsid;
    std::optional<int> channel; // 0: Auto
    std::optional<std::string> power;
    std::optional<std::string> security; // a text of the security-mode list
    std::optional<std::string> key;
    IpSettingsInput ipSettings; // set-ip's fields too; "none" clears a gateway or DNS server
    std::optional<bool> vlan;
    std::string vlanManage, vlanWlan;
    std::optional<bool> reboot;
    std::string rebootHour, rebootMinute;
    uint8_t rebootDays = 0;
    bool noWait = false; // do not wait for the device after a VLAN or IP change, nor check it then
};

struct CliArguments {
    std::string command; // the verb of a command of the table (CliCommand.h)
    std::string topic;   // help: the verb to explain; empty: all of them
    int seconds = 10;
    int wait = kLearnSeconds;
    bool json = false;
    bool csv = false;            // search: CSV with the JSON's field names
    bool raw = false;            // show: the codes instead of their meanings
    SortKey sort = SortKey::Mac; // search: the order of its list
    bool dryRun = false; // learn, check and print what would be sent; send nothing that changes a device
    std::vector<std::string> macs; // lower case, as the store keeps them
    std::string name;
    bool on = false;
    ConfigureOptions configure; // also join's overrides: ssid, channel, security, key and the IP fields
    std::string bssid;          // join: the access point to bridge to, lower case
    std::string file;           // upgrade: the firmware image
    std::string type; // upgrade: the model to upgrade, as its text or code; empty: the first MAC's model
};

// nullopt with error set when the command line is not understood. "VERB ... --help" asks for help on VERB;
// --help, -h and --version alone stand for help and version; --dry-run is taken anywhere after the verb
// of a command that offers it.
std::optional<CliArguments> ParseCliArguments(const std::vector<std::string>& args, std::string& error);

// The parsers of the command table: each reads the arguments after its verb; false with error set when
// they are not understood.
using CliRest = std::vector<std::string>;
bool ParseSearch(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseAdapters(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseShow(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseScan(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseConfigure(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseJoin(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseMacList(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseRename(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseSetIp(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseTransparentBridge(const CliRest& rest, CliArguments& a, std::string& error);
bool ParseUpgrade(const CliRest& rest, CliArguments& a, std::string& error);

} // namespace rf
