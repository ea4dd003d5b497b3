#include "DeviceOutput.h"

#include "operations/PlanDescription.h"

#include "core/Language.h"
#include "core/OperateCharacter.h"
#include "operations/AdapterDevices.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceFieldNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rf {
namespace {

std::string Field(const char* field, size_t width) {
    return std::string(field, strnlen(field, width));
}

unsigned AddressCount(const AdapterRecord& adapter) {
    return std::min<unsigned>(adapter.count, kNicscanMaxAddresses);
}

std::string StatusOf(const ap_info_stu& device, bool announced) {
    return announced ? std::string("Announced") : StatusText(device.ap_status());
}

} // namespace

std::vector<DeviceField> DeviceFields(const ap_info_stu& device, bool announced) {
    const DeviceInfo info = device.device_info();
    return {{kFieldNameMac, device.mac(), true},
            {kFieldNameIp, IpBytesToText(info.ip()), true},
            {kFieldNameModel, ModelText(device.ap_type()), true},
            {kFieldNameName, info.ap_name(), true},
            {kFieldNameVersion, info.version(), true},
            {kFieldNameStatus, std::to_string(device.ap_status())},
            {kFieldNameWorkMode, std::to_string(info.work_mode())},
            {kFieldNameSsid, info.ssid(), true},
            {kFieldNameChannel, std::to_string(info.channel())},
            {kFieldNameUptime, std::to_string(info.up_time())},
            {kFieldNameAnnounced, announced ? "true" : "false"}};
}

std::string DeviceJson(const ap_info_stu& device, bool announced) {
    std::string out;
    for (const DeviceField& f : DeviceFields(device, announced)) {
        out += (out.empty() ? "{" : ",") + JsonText(f.name) + ":" + (f.text ? JsonText(f.value) : f.value);
    }
    return out + "}";
}

std::string DeviceCsvHeader() {
    std::vector<std::string> names;
    for (const DeviceField& f : DeviceFields(ap_info_stu(), false)) {
        names.emplace_back(f.name);
    }
    return CsvLine(names);
}

std::string DeviceCsv(const ap_info_stu& device, bool announced) {
    std::vector<std::string> values;
    for (DeviceField& f : DeviceFields(device, announced)) {
        values.push_back(std::move(f.value));
    }
    return CsvLine(values);
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
