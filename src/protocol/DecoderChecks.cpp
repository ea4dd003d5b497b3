#include "protocol/DecoderChecks.h"

#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceInfo.h"
#include "protocol/PacketHeader.h"
#include "protocol/ScanReply.h"

#include <algorithm>
#include <cstdlib>

namespace rf {
namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The record keeps what was received, in order, and zero after it.
template <size_t N>
void RequireReceivedCopy(std::span<const uint8_t, N> record, std::span<const uint8_t> data) {
    const size_t kept = std::min(N, data.size());
    Require(std::ranges::equal(record.first(kept), data.first(kept)));
    Require(std::ranges::all_of(record.subspan(kept), [](uint8_t b) { return b == 0; }));
}

size_t TextSizes(const SecurityBlock& block) {
    size_t total = block.wpapsk_key_value().size() + block.wpa_key().size();
    Require(block.wpapsk_key_value().size() <= SecurityBlock::kWpapskKeyValueWidth);
    Require(block.wpa_key().size() <= SecurityBlock::kWpaKeyWidth);
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        Require(block.wep_key_value(i).size() <= SecurityBlock::kWepKeyValueWidth);
        total += block.wep_key_value(i).size() + block.wep_key_type(i);
    }
    return total + block.wpa_radius_port() + block.wpa_radius_ip()[0];
}

} // namespace

size_t CheckPacketHeaderDecode(std::span<const uint8_t> data) {
    const auto header = PacketHeader::Decode(data);
    const bool acceptable =
        data.size() >= kHeaderSize && data.size() <= kMaxDatagram && data[0] == 0x86 && data[1] == 0x19;
    Require(header.has_value() == acceptable);
    if (!header) {
        return 0;
    }
    Require(PacketHeader::DecodeReceived(data).has_value() == (header->length == data.size() - kHeaderSize));
    Require(std::ranges::equal(header->Encode(), data.first(kHeaderSize)));
    const auto payload = PacketPayload(data);
    Require(payload.size() <= header->length && payload.size() <= data.size() - kHeaderSize);
    return payload.size() + header->type;
}

size_t CheckDeviceInfoDecode(std::span<const uint8_t> data) {
    DeviceInfo info = DeviceInfo::FromBytes(data);
    RequireReceivedCopy(info.bytes(), data);
    const size_t carried = DeviceInfo::CarriedSize(data.size());
    Require(carried <= data.size() && (carried == 0) == (data.size() < DeviceInfo::kMinSize));
    Require(info.ap_name().size() <= DeviceInfo::kApNameWidth &&
            info.version().size() <= DeviceInfo::kVersionWidth);
    Require(info.ssid().size() <= DeviceInfo::kSsidWidth &&
            info.bridge_ssid().size() <= DeviceInfo::kBridgeSsidWidth);
    size_t total = TextSizes(info.security()) + TextSizes(info.bridge_security());
    total += info.ip_num() + info.restart_time() + info.vlan_id() + info.up_time();
    info.ConvertTextsToLocal();
    Require(info.ap_name_length() <= DeviceInfo::kApNameWidth &&
            info.ssid_length() <= DeviceInfo::kSsidWidth);
    Require(info.bridge_ssid_length() <= DeviceInfo::kBridgeSsidWidth);
    return total + info.ap_name().size();
}

size_t CheckAnnounceRecordDecode(std::span<const uint8_t> data) {
    const AnnounceRecord record = AnnounceRecord::FromBytes(data);
    RequireReceivedCopy(record.bytes(), data);
    Require(record.version().size() <= AnnounceRecord::kVersionWidth);
    Require(record.ap_name().size() <= AnnounceRecord::kApNameWidth);
    Require(record.ssid().size() <= AnnounceRecord::kSsidWidth);
    return record.up_time() + record.channel() + record.version().size() + record.ap_name().size();
}

size_t CheckScanReplyDecode(std::span<const uint8_t> data) {
    const auto reply = ScanReply::Decode(data);
    Require(reply.has_value() == (data.size() >= ScanReply::kEntriesOffset));
    if (!reply) {
        return 0;
    }
    const size_t held = (data.size() - ScanReply::kEntriesOffset) / ScanEntry::kSize;
    Require(reply->entries.size() == std::min({size_t{reply->icount}, ScanReply::kMaxEntries, held}));
    size_t total = 0;
    for (size_t i = 0; i < reply->entries.size(); ++i) {
        const auto& entry = reply->entries[i];
        const auto source = data.subspan(ScanReply::kEntriesOffset + i * ScanEntry::kSize, ScanEntry::kSize);
        Require(std::ranges::equal(entry.bytes(), source));
        Require(entry.ssid().size() <= ScanEntry::kSsidWidth);
        total += entry.ssid().size() + entry.channel();
    }
    return total + reply->packet_count;
}

} // namespace rf
