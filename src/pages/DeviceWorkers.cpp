#include "pages/DeviceWorkers.h"

#include "protocol/CodeTables.h"
#include "protocol/DeviceNameBlock.h"
#include "protocol/NetManagement.h"
#include "protocol/SettingsPayloads.h"

namespace rf {
namespace {

bool Send(CNetManagement& engine, const SelectedDevice& device, MessageType type,
          std::span<const uint8_t> payload) {
    return engine.SendCommand(device.Ip(), static_cast<int>(type), payload, device.Mac(), true);
}

} // namespace

int RunRename(std::stop_token stop, CNetManagement& engine, const std::string& localName,
              const SelectedDevice& device) {
    if (stop.stop_requested()) {
        return 0;
    }
    const DeviceNameBlock block = DeviceNameBlock::FromLocalName(localName);
    return Send(engine, device, MessageType::SetName, block.bytes()) ? 1 : 0;
}

int RunIpAssign(std::stop_token stop, CNetManagement& engine, const IpBatch& batch,
                const std::vector<SelectedDevice>& devices) {
    const std::vector<Ipv4Bytes> addresses = AssignIpRange(batch, devices.size());
    int sent = 0;
    for (size_t i = 0; i < addresses.size() && !stop.stop_requested(); ++i) {
        const auto block = BuildBatchIpBlock(batch, addresses[i]);
        engine.SetPendingIp(devices[i].Mac(), devices[i].Ip(), IpBytesToText(addresses[i]));
        sent += Send(engine, devices[i], MessageType::SetIp, block) ? 1 : 0;
    }
    return sent;
}

int RunBridgeSwitch(std::stop_token stop, CNetManagement& engine, bool on,
                    const std::vector<SelectedDevice>& devices) {
    const auto payload = BuildSetTransparentBridgePayload(on);
    int sent = 0;
    for (const SelectedDevice& device : devices) {
        if (stop.stop_requested()) {
            break;
        }
        sent += Send(engine, device, MessageType::SetTransparentBridge, payload) ? 1 : 0;
    }
    return sent;
}

} // namespace rf
