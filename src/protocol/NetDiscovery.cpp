#include "core/OperateCharacter.h"
#include "protocol/AddressClaim.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "protocol/ReplyAddresses.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>

namespace rf {

namespace {

std::string FieldText(const char* field, size_t width) {
    return std::string(field, strnlen(field, width));
}

std::string AddressIp(const AdapterAddress& a) {
    return FieldText(a.ip, sizeof a.ip);
}
std::string AddressMask(const AdapterAddress& a) {
    return FieldText(a.mask, sizeof a.mask);
}

bool IsTakenAdapter(const AdapterRecord& node) {
    return node.usable == 1 && node.count > 0 && AddressIp(node.addresses[0]) != "0.0.0.0";
}

unsigned AddressCount(const AdapterRecord& node) {
    return std::min<unsigned>(node.count, kNicscanMaxAddresses);
}

// Interface index of every local IPv4 address (network byte order).
std::vector<std::pair<in_addr_t, unsigned>> LocalInterfaceIndexes() {
    std::vector<std::pair<in_addr_t, unsigned>> indexes;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return indexes;
    }
    for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr != nullptr && i->ifa_addr->sa_family == AF_INET) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
            indexes.emplace_back(address->sin_addr.s_addr, ::if_nametoindex(i->ifa_name));
        }
    }
    ::freeifaddrs(list);
    return indexes;
}

// The MAC text of a header; empty for the all-zero MAC.
std::string HeaderMacText(const PacketHeader& header) {
    const bool zero =
        std::all_of(header.mac.begin(), header.mac.end(), [](std::uint8_t b) { return b == 0; });
    return zero ? std::string() : MacBytesToText(header.mac);
}

std::string LocalText(const std::string& deviceText) {
    std::string local;
    COperateCharacter::DeviceTextToLocal(deviceText, local);
    return local;
}

// The online entry of a device's first answer: only the version when that is all it carries.
OnlineEntry AnnouncedEntry(const std::string& ipText, const std::string& macText, std::uint16_t model,
                           const AnnounceRecord& record, size_t receivedSize) {
    OnlineEntry entry;
    entry.ip = ipText;
    entry.mac = macText;
    entry.model = model;
    entry.version = record.version();
    entry.version_length = record.version_length();
    if (receivedSize > AnnounceRecord::kVersionOnlySize) {
        entry.work_mode = record.work_mode();
        entry.mode_btn_status = record.mode_btn_status();
        entry.up_time = record.up_time();
        entry.ap_name = LocalText(record.ap_name());
        entry.ap_name_length = record.ap_name_length();
        entry.ssid = LocalText(record.ssid());
        entry.ssid_length = record.ssid_length();
        entry.channel = record.channel();
        entry.bridge_transparent = record.bridge_transparent();
    }
    return entry;
}

} // namespace

void CNetManagement::RefreshAdapters(std::vector<AdapterRecord>& list) {
    list.clear();
    {
        std::lock_guard enumLock(adapterEnumLock_);
        for (const auto& node : adapterSource_ ? adapterSource_->Enumerate() : std::vector<AdapterRecord>()) {
            if (IsTakenAdapter(node)) {
                AdapterRecord copy = node;
                copy.usable = 0;
                copy.next = 0;
                list.push_back(copy);
            }
        }
    }
    const auto interfaces = LocalInterfaceIndexes();
    const auto interfaceOf = [&](const std::string& ip) -> unsigned {
        const auto address = ParseIpv4(ip);
        for (const auto& [local, index] : interfaces) {
            if (address && local == *address) {
                return index;
            }
        }
        return 0;
    };

    std::lock_guard lock(adapterAddressLock_);
    const auto listed = [&](const std::string& ip) {
        return std::any_of(list.begin(), list.end(), [&](const AdapterRecord& adapter) {
            for (unsigned i = 0; i < AddressCount(adapter); ++i) {
                if (AddressIp(adapter.addresses[i]) == ip) {
                    return true;
                }
            }
            return false;
        });
    };
    std::vector<AdapterAddress> kept;
    for (const auto& address : adapterAddresses_) {
        if (listed(AddressIp(address))) {
            kept.push_back(address);
        }
    }
    const std::vector<AdapterAddress> before = kept;
    for (const auto& adapter : list) {
        for (unsigned i = 0; i < AddressCount(adapter); ++i) {
            const auto ip = AddressIp(adapter.addresses[i]);
            const bool known = std::any_of(before.begin(), before.end(),
                                           [&](const AdapterAddress& a) { return AddressIp(a) == ip; });
            if (!known) {
                kept.push_back(adapter.addresses[i]);
            }
        }
    }
    adapterAddresses_ = std::move(kept);
    localAddresses_.clear();
    for (const auto& address : adapterAddresses_) {
        const auto ip = ParseIpv4(AddressIp(address));
        const auto mask = ParseIpv4(AddressMask(address));
        localAddresses_.push_back({ip.value_or(0), mask.value_or(0), interfaceOf(AddressIp(address))});
    }
}

std::vector<std::string> CNetManagement::ListSearchTargets() {
    std::vector<AdapterRecord> adapters;
    RefreshAdapters(adapters);
    std::vector<std::string> targets;
    for (const auto& adapter : adapters) {
        for (unsigned i = 0; i < AddressCount(adapter); ++i) {
            const auto ipText = AddressIp(adapter.addresses[i]);
            const auto maskText = AddressMask(adapter.addresses[i]);
            if (ipText.empty() || ipText == "0.0.0.0" || maskText.empty() || maskText == "0.0.0.0") {
                continue;
            }
            const auto ip = ParseIpv4(ipText);
            const auto mask = ParseIpv4(maskText);
            if (!ip || !mask) {
                continue;
            }
            const auto target = Ipv4Text(*ip | ~*mask);
            if (std::find(targets.begin(), targets.end(), target) == targets.end()) {
                targets.push_back(target);
            }
        }
    }
    return targets;
}

void CNetManagement::SearchDevices() {
    std::array<std::uint8_t, kMaxDatagram> datagram{};
    const size_t size = BuildPacket(datagram, MessageType::Search, MacAddress{}, false, {});
    const auto bytes = std::span<const std::uint8_t>(datagram).first(size);
    const auto targets = ListSearchTargets();
    if (targets.empty()) {
        sender_->SendSearch(INADDR_BROADCAST, bytes);
        return;
    }
    for (const auto& target : targets) {
        if (const auto address = ParseIpv4(target)) {
            sender_->SendSearch(*address, bytes);
        }
    }
}

void CNetManagement::OnAnnounce(const ReceivedPacket& packet) {
    const auto header = PacketHeader::DecodeReceived(packet.Bytes());
    const auto payload = PacketPayload(packet.Bytes());
    if (!header || payload.size() < AnnounceRecord::kVersionOnlySize) {
        return;
    }
    const std::string ipText = packet.SenderIpText();
    const std::string macText = HeaderMacText(*header);
    bool detailsWanted = false;
    bool detailsAsked = false; // a request for them is already waiting for its reply
    bool claimed = false;
    std::string probed; // the stored address to ask, when this answer claims the MAC from another
    if (!macText.empty()) {
        ++answersHeard_;
        const auto record = AnnounceRecord::FromBytes(payload);
        std::lock_guard lock(onlineListLock_);
        OnlineEntry* own = onlineList_.Find(macText);
        if (own == nullptr) {
            own = &onlineList_.Add(AnnouncedEntry(ipText, macText, header->model, record, payload.size()));
        } else if (IsDeviceAddress(*own, ipText)) {
            own->model = header->model;
            own->ttl = OnlineEntry::kFreshTtl;
            own->version = record.version();
            own->version_length = record.version_length();
        } else {
            claimed = true;
            if (NeedsProbe(*own, ipText)) {
                own->claimIp = ipText;
                probed = own->ip;
            }
        }
        detailsWanted = !(own->ip == ipText && own->state == OnlineEntry::Detailed && !own->restarting);
        detailsAsked = own->detailsAsked;
        own->detailsAsked = own->detailsAsked || (detailsWanted && !claimed);
    }
    if (claimed) { // nothing goes to a claiming address before the probe has decided
        if (!probed.empty()) {
            ProbeClaim(macText, probed, ipText);
        }
        return;
    }
    SendCommand(ipText, static_cast<int>(MessageType::Search), {}, macText, false);
    if (detailsWanted) {
        AskForDetails(ipText, macText, !detailsAsked);
    }
}

// Every answer of a device without details asks for them, but only one such request per device is resent:
// during the early searches of a cycle a device answers several times before its details can come, and
// resending each of those requests would multiply the traffic of ten thousand devices.
void CNetManagement::AskForDetails(const std::string& ipText, const std::string& macText, bool resent) {
    const auto interval = std::min<std::chrono::milliseconds>(
        std::chrono::milliseconds(retransmissionInterval_.load()), kDetailsRetryInterval);
    RequestDone ended;
    if (resent) {
        ended = [this, macText](const RequestEnd&) { DetailsRequestEnded(macText); };
    }
    if (!SendRequest(ipText, static_cast<int>(MessageType::GetInfo), {}, macText, resent, std::move(ended),
                     interval) &&
        resent) {
        DetailsRequestEnded(macText);
    }
}

void CNetManagement::DetailsRequestEnded(const std::string& macText) {
    std::lock_guard lock(onlineListLock_);
    if (OnlineEntry* own = onlineList_.Find(macText)) {
        own->detailsAsked = false;
    }
}

void CNetManagement::ListAnnouncedDevices(std::vector<ap_info_stu>& list, int max,
                                          const std::string& filter) {
    list.clear();
    std::lock_guard lock(onlineListLock_);
    int looked = 0;
    for (const auto& entry : onlineList_.Entries()) {
        if (entry.state != OnlineEntry::Announced) {
            continue;
        }
        if (looked >= max) {
            break;
        }
        ++looked;
        const std::string version = entry.version.substr(0, entry.version.find('\n'));
        if (!filter.empty() && entry.ip.find(filter) == std::string::npos &&
            entry.mac.find(filter) == std::string::npos && version.find(filter) == std::string::npos) {
            continue;
        }
        DeviceInfo info;
        info.set_ip(IpTextToBytes(entry.ip));
        info.set_version(version);
        info.set_ap_name(entry.ap_name);
        info.set_up_time(entry.up_time);
        info.set_work_mode(entry.work_mode);
        info.set_mode_btn_status(entry.mode_btn_status);
        info.set_ssid(entry.ssid);
        info.set_channel(entry.channel);
        info.set_bridge_transparent(entry.bridge_transparent);
        list.push_back(ApInfo::Make(entry.mac, entry.model, 10, info));
    }
}

void CNetManagement::SendLeaveToAnnounced() {
    std::lock_guard lock(onlineListLock_);
    for (const auto& entry : onlineList_.Entries()) {
        if (entry.state == OnlineEntry::Announced) {
            SendLeave(entry);
        }
    }
}

void CNetManagement::ForgetAnnounced() {
    std::lock_guard lock(onlineListLock_);
    onlineList_.EraseIf([](const OnlineEntry& e) { return e.state == OnlineEntry::Announced; });
}

void CNetManagement::PurgeUnseenDevices() {
    std::vector<std::string> macs;
    store_.ListDeviceMacs(macs);
    std::vector<std::string> unseen;
    {
        std::lock_guard lock(onlineListLock_);
        for (const auto& mac : macs) {
            if (onlineList_.Find(mac) == nullptr) {
                unseen.push_back(mac);
            }
        }
    }
    for (const auto& mac : unseen) {
        store_.DeleteDevice(mac);
    }
}

void CNetManagement::AgeOnlineList() {
    std::vector<std::string> removed;
    {
        std::lock_guard lock(onlineListLock_);
        onlineList_.EraseIf([&](OnlineEntry& entry) {
            if (entry.ttl == 0) {
                removed.push_back(entry.mac);
                return true;
            }
            if (entry.state != OnlineEntry::Announced) {
                --entry.ttl;
            }
            return false;
        });
    }
    for (const auto& mac : removed) {
        store_.DeleteDevice(mac);
    }
}

} // namespace rf
