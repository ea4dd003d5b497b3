#include "DevicePackets.h"

#include "protocol/PacketHeader.h"
#include "protocol/ScanReply.h"

#include <algorithm>

namespace rf {

std::vector<uint8_t> DevicePacket(uint16_t type, uint16_t model, const MacAddress& mac,
                                  std::span<const uint8_t> payload) {
    PacketHeader header;
    header.model = model;
    header.type = type;
    header.mac = mac;
    header.length = static_cast<uint16_t>(payload.size());
    std::vector<uint8_t> datagram(kHeaderSize + payload.size());
    header.Encode(std::span<uint8_t, kHeaderSize>(datagram.data(), kHeaderSize));
    std::copy(payload.begin(), payload.end(), datagram.begin() + kHeaderSize);
    return datagram;
}

namespace {

// A stable pseudo-random number for a pair of values, so one scanner always sees an AP alike.
uint64_t Mix(uint64_t a, uint64_t b) {
    uint64_t x = a * 0x9e3779b97f4a7c15ULL ^ (b + 0x632be59bd9b4e019ULL);
    x ^= x >> 31;
    x *= 0xbf58476d1ce4e5b9ULL;
    return x ^ (x >> 29);
}

ScanEntry EntryFor(const DeviceInfo& ap, int8_t signal) {
    ScanEntry e;
    e.set_mac(ap.ssid_mac());
    e.set_signal(signal);
    e.set_channel(ap.channel());
    e.set_secure_mode(ap.security().secure_mode());
    e.set_ssid(ap.ssid());
    e.set_exchannel(ap.expand_channel());
    e.set_bandwidth(ap.bandwidth());
    return e;
}

std::vector<ScanEntry> Neighbours(const Radio& scanner, uint64_t seed) {
    static const char* const names[] = {"Neighbour-Net", "CafeWiFi", "farm \"north\" link",
                                        "\xe9\x82\xbb\xe5\xb1\x85"};
    std::vector<ScanEntry> out;
    const uint64_t h = Mix(seed, scanner.index());
    for (size_t i = 0; i < 4 + h % 5; ++i) {
        ScanEntry e;
        e.set_mac(
            {0x0a, 0x4e, static_cast<uint8_t>(seed), static_cast<uint8_t>(i), 0x00, static_cast<uint8_t>(h)});
        e.set_signal(static_cast<int8_t>(-95 + static_cast<int>(Mix(h, i) % 40)));
        e.set_channel(static_cast<uint8_t>(1 + Mix(i, h) % 13));
        e.set_secure_mode(static_cast<uint8_t>(Mix(h, i + 7) % 11));
        e.set_ssid(names[i % 4] + std::string(i >= 4 ? "-2" : ""));
        e.set_bandwidth(static_cast<uint8_t>(i % 3));
        out.push_back(e);
    }
    return out;
}

} // namespace

std::vector<std::vector<uint8_t>> ScanPayloads(const Radio& scanner, const std::vector<Radio>& radios,
                                               uint64_t seed) {
    std::vector<ScanEntry> entries;
    for (const Radio& r : radios) {
        if (&r != &scanner && r.segment() == scanner.segment() && r.info().work_mode() == 1 && !r.mute) {
            entries.push_back(EntryFor(
                r.info(), static_cast<int8_t>(-88 + static_cast<int>(Mix(scanner.index(), r.index()) % 50))));
        }
    }
    const auto neighbours = Neighbours(scanner, seed);
    entries.insert(entries.end(), neighbours.begin(), neighbours.end());
    constexpr size_t perPacket = ScanReply::kMaxEntries;
    const size_t packets = std::min<size_t>((entries.size() + perPacket - 1) / perPacket, 255);
    std::vector<std::vector<uint8_t>> payloads;
    for (size_t p = 0; p < packets; ++p) {
        ScanReply reply;
        reply.packet_count = static_cast<uint8_t>(packets);
        reply.packet_id = static_cast<uint8_t>(p);
        const auto first = entries.begin() + static_cast<ptrdiff_t>(p * perPacket);
        reply.entries.assign(
            first, first + static_cast<ptrdiff_t>(std::min(perPacket, entries.size() - p * perPacket)));
        std::vector<uint8_t> payload(ScanReply::kMaxSize);
        payload.resize(reply.Encode(payload));
        payloads.push_back(std::move(payload));
    }
    return payloads;
}

namespace {

std::vector<uint8_t> WithLength(std::vector<uint8_t> datagram, uint16_t length) {
    datagram[PacketHeader::kLengthOffset] = static_cast<uint8_t>(length);
    datagram[PacketHeader::kLengthOffset + 1] = static_cast<uint8_t>(length >> 8);
    return datagram;
}

std::vector<uint8_t> HostileAnnounce(const MacAddress& mac) {
    AnnounceRecord record;
    const std::string quotes = "'\"';--\\\"\xe5\x8c\x97' OR '1'='1";
    record.set_version(quotes);
    record.set_ap_name(std::string(40, '"'));
    record.set_ssid("ssid'\"`");
    auto bytes = record.mutable_bytes();
    bytes[AnnounceRecord::kVersionLengthOffset] = 255;
    bytes[AnnounceRecord::kApNameLengthOffset] = 200;
    bytes[AnnounceRecord::kSsidLengthOffset] = 99;
    return DevicePacket(1, 0xffff, mac, record.bytes());
}

std::vector<uint8_t> HostileScan(const MacAddress& mac) {
    std::vector<uint8_t> payload(3 + 2 * ScanEntry::kSize, 0x41);
    payload[0] = 0;   // a scan of zero packets
    payload[1] = 7;   // whose packet 7 this claims to be
    payload[2] = 255; // with far more entries than the bytes hold
    return DevicePacket(6, 1, mac, payload);
}

} // namespace

std::vector<HostileDatagram> HostileDatagrams(const MacAddress& mac) {
    const std::vector<uint8_t> info(50, 0x22); // a GetInfo reply cut short, full of quotes
    std::vector<uint8_t> badMagic = DevicePacket(1, 1, mac, AnnounceRecord().bytes());
    badMagic[0] = 0x19;
    badMagic[1] = 0x86;
    std::vector<uint8_t> shortOne = DevicePacket(15, 1, mac, {});
    shortOne.resize(kHeaderSize - 1);
    std::vector<uint8_t> oversized = DevicePacket(2, 1, mac, std::vector<uint8_t>(kMaxPayload + 200, 0x5a));
    std::vector<HostileDatagram> out{
        {kAnnouncePort, badMagic},
        {kAnnouncePort, shortOne},
        {kAnnouncePort, WithLength(DevicePacket(1, 1, mac, std::vector<uint8_t>(4, 0)), 1000)},
        {kAnnouncePort, WithLength(DevicePacket(1, 1, mac, AnnounceRecord().bytes()), 0)},
        {kAnnouncePort, HostileAnnounce(mac)},
        {kAnnouncePort, HostileAnnounce(MacAddress{})},
        {kAnnouncePort, DevicePacket(15, 1, mac, AnnounceRecord().bytes())},
        {kHeartbeatPort, DevicePacket(1, 1, mac, AnnounceRecord().bytes())},
        {kHeartbeatPort, DevicePacket(15, 1, mac, std::vector<uint8_t>(3, 0xff))},
        {kHeartbeatPort, shortOne},
        {kReplyPort, DevicePacket(2, 1, mac, info)},
        {kReplyPort, HostileScan(mac)},
        {kReplyPort, DevicePacket(14, 1, mac, std::vector<uint8_t>(1, 0))},
        {kReplyPort, DevicePacket(999, 1, mac, {})},
        {kReplyPort, DevicePacket(0, 1, mac, {})},
        {kReplyPort, WithLength(DevicePacket(12, 1, mac, {}), 1456)},
        {kReplyPort, oversized},
        {kReplyPort, badMagic},
    };
    return out;
}

} // namespace rf
