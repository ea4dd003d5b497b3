#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"

#include <algorithm>

namespace rf {

namespace {

bool IsNeverRecorded(int type) {
    switch (static_cast<MessageType>(type)) {
    case MessageType::Search:
    case MessageType::ScanAps:
    case MessageType::Heartbeat:
    case MessageType::Leave:
        return true;
    default:
        return false;
    }
}

bool IsUsableAddress(const std::optional<in_addr_t>& address) {
    return address && *address != 0;
}

} // namespace

bool CNetManagement::SendCommand(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                                 const std::string& macText, bool retransmit, RequestDone onDone) {
    const auto device = ParseIpv4(ipText);
    if (!IsUsableAddress(device) || type < 0 || type > 0xFFFF) {
        return false;
    }
    std::array<std::uint8_t, kMaxDatagram> datagram{};
    const size_t size =
        BuildPacket(datagram, static_cast<MessageType>(type), MacTextToBytes(macText), true, payload);
    if (size == 0) {
        return false;
    }
    bool sent = false;
    {
        std::lock_guard lock(adapterAddressLock_);
        for (const auto& local : localAddresses_) {
            if (local.ip == 0 || local.mask == 0 || (local.ip & local.mask) != (*device & local.mask)) {
                continue;
            }
            if (static_cast<MessageType>(type) == MessageType::ScanAps) {
                scanComplete = false;
            }
            sent = sender_->SendToDevice(local, std::span<const std::uint8_t>(datagram).first(size));
            break;
        }
    }
    if (sent && retransmit && !IsNeverRecorded(type)) {
        AddPending(ipText, payload, type, macText, std::move(onDone));
    }
    return sent;
}

void CNetManagement::AddPending(const std::string& ipText, std::span<const std::uint8_t> payload, int type,
                                const std::string& macText, RequestDone onDone) {
    PendingRequest request;
    request.remaining = retransmissionMax_;
    request.ip = ipText;
    request.type = type;
    request.payload.assign(payload.begin(), payload.end());
    request.mac = macText;
    request.onDone = std::move(onDone);
    std::lock_guard lock(pendingLock_);
    pendingRequests_.push_back(std::move(request));
}

RequestDone CNetManagement::RemovePending(const std::string& /*ipText*/, int type, const std::string& macText) {
    std::lock_guard lock(pendingLock_);
    const auto found =
        std::find_if(pendingRequests_.begin(), pendingRequests_.end(), [&](const PendingRequest& r) {
            // The device is its MAC: a SetIp reply comes from the address it has just moved to.
            return r.mac == macText && r.type == type;
        });
    if (found == pendingRequests_.end()) {
        return {};
    }
    RequestDone onDone = std::move(found->onDone);
    pendingRequests_.erase(found);
    return onDone;
}

void CNetManagement::RetransmitPass() {
    std::vector<RequestDone> dropped;
    {
        std::lock_guard lock(pendingLock_);
        std::erase_if(pendingRequests_, [&](PendingRequest& request) {
            if (request.remaining <= 0) {
                if (request.onDone) {
                    dropped.push_back(std::move(request.onDone));
                }
                return true;
            }
            --request.remaining;
            SendCommand(request.ip, request.type, request.payload, request.mac, false);
            return false;
        });
    }
    for (const RequestDone& onDone : dropped) {
        onDone(RequestEnd{RequestEnd::How::NoAnswer, 0});
    }
}

} // namespace rf
