#include "core/OperateCharacter.h"
#include "protocol/AddressClaim.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"
#include "protocol/NetManagement.h"
#include "protocol/ReplyAddresses.h"
#include "protocol/ScanReply.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <cstring>

namespace rf {

namespace {

struct ReplyContext {
    PacketHeader header;
    std::string ipText;
    std::string macText;
    std::span<const std::uint8_t> payload;

    int ResultByte() const { return payload.empty() ? 0 : payload[0]; }
};

std::optional<ReplyContext> ContextOf(const ReceivedPacket& packet) {
    const auto header = PacketHeader::DecodeReceived(packet.Bytes());
    if (!header) {
        return std::nullopt;
    }
    return ReplyContext{*header, packet.SenderIpText(), MacBytesToText(header->mac),
                        PacketPayload(packet.Bytes())};
}

// The scan reply with every SSID converted to local text, its length byte following the text.
std::vector<std::uint8_t> LocalizedScanPayload(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> copy(payload.begin(),
                                   payload.begin() + std::min(payload.size(), ScanReply::kMaxSize));
    auto reply = ScanReply::Decode(copy);
    if (!reply) {
        return copy;
    }
    for (auto& entry : reply->entries) {
        std::string local;
        COperateCharacter::DeviceTextToLocal(entry.ssid(), local);
        entry.set_ssid(local);
    }
    std::vector<std::uint8_t> out(ScanReply::kMaxSize);
    out.resize(reply->Encode(out));
    return out;
}

// What an upgrade report's result byte says: 0 fetched (it waits to flash), 1 failed, anything else done.
DeviceStatus UpgradeReportStatus(int result) {
    switch (result) {
    case 0:
        return DeviceStatus::UpgradeWait;
    case 1:
        return DeviceStatus::UpgradeFail;
    default:
        return DeviceStatus::UpgradeSuccess;
    }
}

} // namespace

void CNetManagement::OnHeartbeat(const ReceivedPacket& packet) {
    const auto context = ContextOf(packet);
    if (!context || context->payload.size() < AnnounceRecord::kHeartbeatMinSize) {
        return;
    }
    const auto beat = AnnounceRecord::FromBytes(context->payload);
    bool known = false;
    std::string probed; // the stored address to ask, when this heartbeat claims the MAC from another
    {
        std::lock_guard lock(onlineListLock_);
        OnlineEntry* own = onlineList_.Find(context->macText);
        if (own != nullptr && IsDeviceAddress(*own, context->ipText)) {
            known = true;
            own->ttl = OnlineEntry::kFreshTtl;
            own->up_time = beat.up_time();
            own->version = beat.version();
            own->version_length = beat.version_length();
            onlineList_.SetIp(*own, context->ipText);
        } else if (own != nullptr && NeedsProbe(*own, context->ipText)) {
            own->claimIp = context->ipText;
            probed = own->ip;
        }
    }
    if (known) {
        SendCommand(context->ipText, static_cast<int>(MessageType::Heartbeat), {}, context->macText, false);
        store_.UpdateUptime(context->ipText, context->macText, beat.up_time());
    }
    if (!probed.empty()) {
        ProbeClaim(context->macText, probed, context->ipText);
    }
}

void CNetManagement::DispatchReply(const ReceivedPacket& packet) {
    const auto context = ContextOf(packet);
    if (!context) {
        return;
    }
    const auto type = static_cast<MessageType>(context->header.type);
    std::optional<RequestDone> done;
    if (type != MessageType::ScanAps && type != MessageType::Leave) {
        done = TakeAnswered(context->header.type, context->macText, context->ipText);
    }
    if (!done && !IsDeviceAt(context->macText, context->ipText)) {
        return; // answers nothing sent, and comes from an address the device does not have
    }
    const int result = context->ResultByte();
    const auto& mac = context->macText;
    switch (type) {
    case MessageType::GetInfo:
        if (AcceptDeviceInfo(packet)) {
            auto received = DeviceInfo::FromBytes(context->payload);
            received.ConvertTextsToLocal();
            ap_info_stu stored;
            store_.GetDevice(mac, stored);
            const DeviceInfo info = stored.device_info().WithCarried(received, context->payload.size());
            if (!store_.SaveDeviceInfo(
                    ApInfo::Make(mac, context->header.model, DeviceStatus::Online, info))) {
                ForgetDetails(mac);
            } else if (IsInConflict(mac)) {
                store_.SetDeviceStatus(mac, DeviceStatus::AddressConflict); // not ended by its own answer
            }
        }
        break;
    case MessageType::SetIp:
        AdoptPendingIp(mac, context->ipText);
        break;
    case MessageType::ScanAps: {
        const auto payload = LocalizedScanPayload(context->payload);
        const auto reply = ScanReply::Decode(payload);
        if (reply && reply->IsLast()) {
            scanComplete = true;
        }
        store_.SaveScanResults(payload);
        break;
    }
    case MessageType::SetBridge:
        store_.SetDeviceStatus(mac, result == 0 ? DeviceStatus::BridgeSuccess : DeviceStatus::BridgeFail);
        break;
    case MessageType::Reboot:
    case MessageType::SetVlan:
        if (result == 0) {
            MarkRestarting(mac);
            store_.SetDeviceStatus(mac, DeviceStatus::Restarting);
        }
        break;
    case MessageType::Restore:
        if (result == 0) {
            MarkRestarting(mac);
            store_.SetDeviceStatus(mac, DeviceStatus::Resetting);
        }
        break;
    case MessageType::UpgradeReport:
        store_.SetDeviceStatus(mac, UpgradeReportStatus(result));
        break;
    case MessageType::UpgradePoll:
        store_.MarkUpgrading(mac);
        break;
    default:
        break;
    }
    if (done && *done) {
        (*done)(RequestEnd{RequestEnd::How::Answered, result}); // after the reply's effect is in the store
    }
}

bool CNetManagement::AcceptDeviceInfo(const ReceivedPacket& packet) {
    const auto context = ContextOf(packet);
    if (!context) {
        return false;
    }
    if (context->payload.size() < DeviceInfo::kMinSize) {
        return false;
    }
    const auto info = DeviceInfo::FromBytes(context->payload);
    const std::string deviceIp = IpBytesToText(info.ip());
    std::lock_guard lock(onlineListLock_);
    OnlineEntry* own = onlineList_.Find(context->macText);
    if (own == nullptr || onlineList_.DetailedElsewhere(deviceIp, *own)) {
        return false; // another device holds that address
    }
    own->model = context->header.model;
    onlineList_.SetState(*own, OnlineEntry::Detailed);
    own->restarting = false;
    own->up_time = info.up_time();
    onlineList_.SetIp(*own, deviceIp);
    own->version = info.version();
    own->version_length = info.bytes()[DeviceInfo::kVersionLengthOffset];
    own->bridge_transparent = info.bridge_transparent();
    return true;
}

void CNetManagement::SetPendingIp(const std::string& macText, const std::string& currentIpText,
                                  const std::string& newIpText) {
    std::lock_guard lock(onlineListLock_);
    OnlineEntry* own = onlineList_.Find(macText);
    if (own != nullptr && own->state == OnlineEntry::Detailed && own->ip == currentIpText) {
        own->pendingIp = currentIpText != newIpText ? newIpText : std::string();
    }
}

void CNetManagement::AdoptPendingIp(const std::string& macText, const std::string& ipText) {
    std::lock_guard lock(onlineListLock_);
    OnlineEntry* own = onlineList_.Find(macText);
    if (own != nullptr && own->ip == ipText && !own->pendingIp.empty() && own->pendingIp != own->ip) {
        onlineList_.SetIp(*own, own->pendingIp);
        own->pendingIp.clear();
    }
}

void CNetManagement::ForgetDetails(const std::string& macText) {
    std::lock_guard lock(onlineListLock_);
    if (OnlineEntry* own = onlineList_.Find(macText)) {
        onlineList_.SetState(*own, OnlineEntry::Announced);
    }
}

bool CNetManagement::IsDeviceAt(const std::string& macText, const std::string& senderIp) {
    {
        std::lock_guard lock(onlineListLock_);
        if (const OnlineEntry* own = onlineList_.Find(macText)) {
            return IsDeviceAddress(*own, senderIp);
        }
    }
    ap_info_stu stored;
    return store_.GetDevice(macText, stored) && stored.mac() == macText &&
           IpBytesToText(stored.device_info().ip()) == senderIp;
}

bool CNetManagement::IsInConflict(const std::string& macText) const {
    std::lock_guard lock(onlineListLock_);
    const OnlineEntry* own = onlineList_.Find(macText);
    return own != nullptr && own->conflict;
}

void CNetManagement::ProbeClaim(const std::string& macText, const std::string& storedIp,
                                const std::string& claimIp) {
    const bool sent =
        SendCommand(storedIp, static_cast<int>(MessageType::GetInfo), {}, macText, true,
                    [this, macText, claimIp](const RequestEnd& end) { EndClaim(macText, claimIp, end); });
    if (!sent) {
        EndClaim(macText, claimIp, RequestEnd{RequestEnd::How::NoAnswer}); // the old address is unreachable
    }
}

void CNetManagement::EndClaim(const std::string& macText, const std::string& claimIp,
                              const RequestEnd& probeEnd) {
    const ClaimOutcome outcome = DecideClaim(probeEnd);
    std::uint32_t upTime = 0;
    bool wasInConflict = false;
    {
        std::lock_guard lock(onlineListLock_);
        OnlineEntry* own = onlineList_.Find(macText);
        if (outcome == ClaimOutcome::None || own == nullptr || own->claimIp != claimIp) {
            return;
        }
        wasInConflict = own->conflict;
        own->conflict = outcome == ClaimOutcome::Conflict;
        if (outcome == ClaimOutcome::Move) {
            onlineList_.SetIp(*own, claimIp);
            own->pendingIp.clear();
            own->claimIp.clear();
            own->ttl = OnlineEntry::kFreshTtl;
            upTime = own->up_time;
        }
    }
    if (outcome == ClaimOutcome::Conflict) {
        store_.SetDeviceStatus(macText, DeviceStatus::AddressConflict);
        return;
    }
    store_.UpdateUptime(claimIp, macText, upTime);
    if (wasInConflict) {
        store_.SetDeviceStatus(macText, DeviceStatus::Online);
    }
    SendCommand(claimIp, static_cast<int>(MessageType::GetInfo), {}, macText, true);
}

void CNetManagement::MarkRestarting(const std::string& macText) {
    std::lock_guard lock(onlineListLock_);
    if (OnlineEntry* own = onlineList_.Find(macText)) {
        own->restarting = true;
    }
}

} // namespace rf
