#pragma once

#include "nicscan/Nicscan.h"
#include "protocol/OnlineEntry.h"

#include <string>
#include <vector>

namespace rf {

class CNetManagement;

// One usable adapter and how many online devices lie in one of its subnets.
struct AdapterDevices {
    AdapterRecord adapter{};
    int devices = 0;
};

// The texts an adapter is shown with: its description, its MAC ("%02x:..:%02x") and the IP texts of its
// valid addresses joined by "--".
std::string AdapterDescriptionText(const AdapterRecord& adapter);
std::string AdapterMacText(const AdapterRecord& adapter);
std::string AdapterIpsText(const AdapterRecord& adapter);

// Devices of online whose IP lies in a subnet (address and mask) of adapter. An address without a usable
// mask (empty or 0.0.0.0) reaches no subnet; a device is counted once however many of the adapter's
// subnets hold it.
int CountAdapterDevices(const AdapterRecord& adapter, const std::vector<OnlineEntry>& online);

// The engine's adapters (refreshing its adapter addresses, as every adapter listing does), each with the
// number of its online devices.
std::vector<AdapterDevices> ListAdapterDevices(CNetManagement& engine);

} // namespace rf
