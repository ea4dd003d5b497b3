#pragma once

#include "pages/IpBatch.h"
#include "pages/SelectedDevice.h"

#include <stop_token>
#include <string>
#include <vector>

namespace rf {

class CNetManagement;

// The batch sends of the device lists. They run on worker threads, talk only to the engine and stop
// between two devices when asked. Each returns how many requests went out.

// SetName with the name in device encoding, cut to 32 bytes.
int RunRename(std::stop_token stop, CNetManagement& engine, const std::string& localName,
              const SelectedDevice& device);
// SetIp with consecutive addresses of the batch's range (see AssignIpRange); the engine is told each
// device's new address first so that its answer from there is recognised.
int RunIpAssign(std::stop_token stop, CNetManagement& engine, const IpBatch& batch,
                const std::vector<SelectedDevice>& devices);
// SetTransparentBridge with the same value to every device.
int RunBridgeSwitch(std::stop_token stop, CNetManagement& engine, bool on,
                    const std::vector<SelectedDevice>& devices);

} // namespace rf
