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
        if (c == '"' || c == '\\') {
            return std::string("\\") + static_cast<char>(c);
        }
        return c < 0x20 || c == 0x7f ? Hex4(static_cast<unsigned>(c)) : std::string(bytes);
    };
    return "\"" + MapUtf8(text, keep, [] { return std::string("\\ufffd"); }) + "\"";
}

std::string PrintableText(std::string_view text) {
    const auto keep = [](char32_t c, std::string_view bytes) -> std::string {
        return c < 0x20 || (c >= 0x7f && c < 0xa0) ? std::string("?") : std::string(bytes);
    };
    return MapUtf8(text, keep, [] { return std::string("?"); });
}

std::string DeviceJson(const ap_info_stu& device, bool announced) {
    const DeviceInfo info = device.device_info();
    return "{\"mac\":" + JsonText(device.mac()) + ",\"ip\":" + JsonText(IpBytesToText(info.ip())) +
           ",\"model\":" + JsonText(ModelText(device.ap_type())) + ",\"name\":" + JsonText(info.ap_name()) +
           ",\"version\":" + JsonText(info.version()) + ",\"status\":" + std::to_string(device.ap_status()) +
           ",\"work_mode\":" + std::to_string(info.work_mode()) + ",\"ssid\":" + JsonText(info.ssid()) +
           ",\"channel\":" + std::to_string(info.channel()) +
           ",\"uptime\":" + std::to_string(info.up_time()) +
           ",\"announced\":" + (announced ? "true" : "false") + "}";
}

std::string DeviceTextHeader() {
    char line[256];
    std::snprintf(line, sizeof line, "%-17s  %-15s  %-10s  %-11s  %-10s  %-3s  %-12s  %s", "MAC", "IP",
                  "Type", "Status", "Uptime", "Ch", "Version", "Name / SSID");
    return line;
}

std::string DeviceTextLine(const ap_info_stu& device, bool announced) {
    const DeviceInfo info = device.device_info();
    char line[256];
    std::snprintf(line, sizeof line, "%-17s  %-15s  %-10s  %-11s  %-10s  %-3s  %-12s  ", device.mac().c_str(),
                  IpBytesToText(info.ip()).c_str(), ModelText(device.ap_type()).c_str(),
                  StatusOf(device, announced).c_str(), UptimeText(info.up_time()).c_str(),
                  ChannelText(info.channel()).c_str(), PrintableText(info.version()).c_str());
    return line + PrintableText(info.ap_name()) + " / " + PrintableText(info.ssid());
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

std::string AdapterTextLine(int id, const AdapterRecord& adapter, std::optional<int> devices) {
    return std::to_string(id) + "  " + PrintableText(AdapterDescriptionText(adapter)) + "  " +
           AdapterMacText(adapter) + "  " + AdapterIpsText(adapter) + "  " +
           (devices ? std::to_string(*devices) : std::string("-"));
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
