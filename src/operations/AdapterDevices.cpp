#include "operations/AdapterDevices.h"

#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "rules/DeviceRules.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace rf {
namespace {

std::string_view Field(const char* text, size_t width) {
    return {text, strnlen(text, width)};
}

unsigned AddressCount(const AdapterRecord& adapter) {
    return std::min<unsigned>(adapter.count, kNicscanMaxAddresses);
}

bool ReachesSubnet(const AdapterAddress& address) {
    const std::string_view mask = Field(address.mask, sizeof address.mask);
    return !mask.empty() && mask != "0.0.0.0";
}

bool InAdapterSubnet(const AdapterRecord& adapter, const std::string& deviceIp) {
    return std::any_of(
        adapter.addresses, adapter.addresses + AddressCount(adapter), [&](const AdapterAddress& address) {
            return ReachesSubnet(address) && IsSameSubnet(Field(address.ip, sizeof address.ip), deviceIp,
                                                          Field(address.mask, sizeof address.mask));
        });
}

} // namespace

std::string AdapterDescriptionText(const AdapterRecord& adapter) {
    return std::string(Field(adapter.description, sizeof adapter.description));
}

std::string AdapterMacText(const AdapterRecord& adapter) {
    MacAddress mac{};
    std::copy_n(adapter.hardwareAddress, mac.size(), mac.begin());
    return MacBytesToText(mac);
}

std::string AdapterIpsText(const AdapterRecord& adapter) {
    std::string ips;
    for (unsigned i = 0; i < AddressCount(adapter); ++i) {
        ips += (i == 0 ? "" : "--");
        ips += Field(adapter.addresses[i].ip, sizeof adapter.addresses[i].ip);
    }
    return ips;
}

int CountAdapterDevices(const AdapterRecord& adapter, const std::vector<OnlineEntry>& online) {
    return static_cast<int>(std::count_if(online.begin(), online.end(), [&](const OnlineEntry& entry) {
        return InAdapterSubnet(adapter, entry.ip);
    }));
}

std::vector<AdapterDevices> ListAdapterDevices(CNetManagement& engine) {
    std::vector<AdapterRecord> adapters;
    engine.RefreshAdapters(adapters);
    const std::vector<OnlineEntry> online = engine.OnlineList();
    std::vector<AdapterDevices> listed;
    listed.reserve(adapters.size());
    for (const AdapterRecord& adapter : adapters) {
        listed.push_back({adapter, CountAdapterDevices(adapter, online)});
    }
    return listed;
}

} // namespace rf
