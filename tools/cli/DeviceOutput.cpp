#include "DeviceOutput.h"

#include "operations/PlanDescription.h"

#include "core/Language.h"
#include "core/OperateCharacter.h"
#include "operations/AdapterDevices.h"
#include "protocol/CodeTables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rf {
namespace {

std::string Field(const char* field, size_t width) {
    return std::string(field, strnlen(field, width));
}

constexpr std::string_view kReplacementCharacter = "\xef\xbf\xbd"; // U+FFFD
constexpr std::string_view kCsvLineEnd = "\r\n";

std::string Hex4(unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    return buffer;
}

// Appends text's characters, each whole UTF-8 character through keep, each other byte through bad.
template <typename Keep, typename Bad> std::string MapUtf8(std::string_view text, Keep keep, Bad bad) {
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8(text, pos);
        if (c.length == 0) {
            out += bad();
            ++pos;
            continue;
        }
        out += keep(c.codePoint, text.substr(pos, c.length));
        pos += c.length;
    }
    return out;
}

unsigned AddressCount(const AdapterRecord& adapter) {
    return std::min<unsigned>(adapter.count, kNicscanMaxAddresses);
}

std::string StatusOf(const ap_info_stu& device, bool announced) {
    return announced ? std::string("Announced") : StatusText(device.ap_status());
}

} // namespace

std::string JsonText(std::string_view text) {
    const auto keep = [](char32_t c, std::string_view bytes) -> std::string {
        switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        default:
            return c < 0x20 || c == 0x7f ? Hex4(static_cast<unsigned>(c)) : std::string(bytes);
        }
    };
    return "\"" + MapUtf8(text, keep, [] { return std::string("\\ufffd"); }) + "\"";
}

std::string CsvText(std::string_view text) {
    std::string utf8 = MapUtf8(
        text, [](char32_t, std::string_view bytes) { return std::string(bytes); },
        [] { return std::string(kReplacementCharacter); });
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        return utf8;
    }
    std::string quoted = "\"";
    for (const char c : utf8) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string PrintableText(std::string_view text) {
    const auto keep = [](char32_t c, std::string_view bytes) -> std::string {
        return c < 0x20 || (c >= 0x7f && c < 0xa0) ? std::string("?") : std::string(bytes);
    };
    return MapUtf8(text, keep, [] { return std::string("?"); });
}

std::vector<DeviceField> DeviceFields(const ap_info_stu& device, bool announced) {
    const DeviceInfo info = device.device_info();
    return {{"mac", device.mac(), true},
            {"ip", IpBytesToText(info.ip()), true},
            {"model", ModelText(device.ap_type()), true},
            {"name", info.ap_name(), true},
            {"version", info.version(), true},
            {"status", std::to_string(device.ap_status())},
            {"work_mode", std::to_string(info.work_mode())},
            {"ssid", info.ssid(), true},
            {"channel", std::to_string(info.channel())},
            {"uptime", std::to_string(info.up_time())},
            {"announced", announced ? "true" : "false"}};
}

std::string DeviceJson(const ap_info_stu& device, bool announced) {
    std::string out;
    for (const DeviceField& f : DeviceFields(device, announced)) {
        out += (out.empty() ? "{" : ",") + JsonText(f.name) + ":" + (f.text ? JsonText(f.value) : f.value);
    }
    return out + "}";
}

std::string DeviceCsvHeader() {
    std::string out;
    for (const DeviceField& f : DeviceFields(ap_info_stu(), false)) {
        out += (out.empty() ? "" : ",") + std::string(f.name);
    }
    return out + std::string(kCsvLineEnd);
}

std::string DeviceCsv(const ap_info_stu& device, bool announced) {
    std::string out;
    for (const DeviceField& f : DeviceFields(device, announced)) {
        out += (out.empty() ? "" : ",") + CsvText(f.value);
    }
    return out + std::string(kCsvLineEnd);
}

std::vector<std::string> DeviceTextHeader() {
    return {"MAC", "IP", "Type", "Status", "Uptime", "Ch", "Version", "Name", "SSID"};
}

std::vector<std::string> DeviceTextRow(const ap_info_stu& device, bool announced) {
    const DeviceInfo info = device.device_info();
    return {device.mac(),
            IpBytesToText(info.ip()),
            PrintableText(ModelText(device.ap_type())),
            StatusOf(device, announced),
            UptimeText(info.up_time()),
            ChannelText(info.channel()),
            PrintableText(info.version()),
            PrintableText(info.ap_name()),
            PrintableText(info.ssid())};
}

std::string AdapterJson(int id, const AdapterRecord& adapter, std::optional<int> devices) {
    std::string addresses;
    for (unsigned i = 0; i < AddressCount(adapter); ++i) {
        const AdapterAddress& a = adapter.addresses[i];
        addresses += std::string(i == 0 ? "" : ",") + "{\"ip\":" + JsonText(Field(a.ip, sizeof a.ip)) +
                     ",\"mask\":" + JsonText(Field(a.mask, sizeof a.mask)) + "}";
    }
    return "{\"id\":" + std::to_string(id) +
           ",\"description\":" + JsonText(Field(adapter.description, sizeof adapter.description)) +
           ",\"mac\":" + JsonText(AdapterMacText(adapter)) + ",\"ip\":" + JsonText(AdapterIpsText(adapter)) +
           ",\"addresses\":[" + addresses + "],\"devices\":" + (devices ? std::to_string(*devices) : "null") +
           "}";
}

std::vector<std::string> AdapterTextHeader() {
    return {"ID", "Description", "MAC", "IP", "Devices"};
}

std::vector<std::string> AdapterTextRow(int id, const AdapterRecord& adapter, std::optional<int> devices) {
    return {std::to_string(id), PrintableText(AdapterDescriptionText(adapter)), AdapterMacText(adapter),
            AdapterIpsText(adapter), devices ? std::to_string(*devices) : std::string("-")};
}

std::string PlannedChangeLines(const DeviceInfo& before, const DeviceInfo& after) {
    std::string out;
    for (const std::string& line : DescribeSettingChanges(before, after)) {
        out += "  " + PrintableText(line) + "\n";
    }
    return out;
}

std::string RefusalText(const Refusal& refusal) {
    std::string macs;
    for (const std::string& mac : refusal.macs) {
        macs += (macs.empty() ? "" : ", ") + mac;
    }
    return (macs.empty() ? "" : macs + ": ") + Translate(refusal.messageKey);
}

} // namespace rf
