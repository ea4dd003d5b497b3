#pragma once

#include "protocol/AdapterSource.h"
#include "protocol/CodeTables.h"
#include "protocol/ManualEngineClock.h"
#include "protocol/NetManagement.h"
#include "protocol/PacketSender.h"
#include "protocol/ReceivedPacket.h"
#include "protocol/UdpSocket.h"
#include "store/SqlManagement.h"
#include "support/TempDir.h"

#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace rf::test {

// What the engine sent, recorded instead of going to a network.
class RecordingSender : public IPacketSender {
public:
    struct Sent {
        bool search = false;
        in_addr_t destination = 0; // searches
        in_addr_t via = 0;         // packets for devices: the local address they left from
        PacketHeader header;
        std::vector<std::uint8_t> payload;
    };

    bool SendSearch(in_addr_t destination, std::span<const std::uint8_t> datagram) override {
        return Record(true, destination, 0, datagram);
    }
    bool SendToDevice(const LocalAddress& via, std::span<const std::uint8_t> datagram) override {
        return Record(false, 0, via.ip, datagram);
    }

    std::vector<Sent> All() const {
        std::lock_guard lock(lock_);
        return sent_;
    }
    // Packets of a type sent to the device with macText.
    int Count(MessageType type, const std::string& macText = {}) const {
        int n = 0;
        for (const auto& s : All()) {
            n += (!s.search && s.header.messageType() == type &&
                  (macText.empty() || MacBytesToText(s.header.mac) == macText))
                     ? 1
                     : 0;
        }
        return n;
    }
    std::vector<std::string> SearchTargets() const {
        std::vector<std::string> targets;
        for (const auto& s : All()) {
            if (s.search) {
                targets.push_back(Ipv4Text(s.destination));
            }
        }
        return targets;
    }
    void Clear() {
        std::lock_guard lock(lock_);
        sent_.clear();
    }

private:
    bool Record(bool search, in_addr_t destination, in_addr_t via, std::span<const std::uint8_t> datagram) {
        Sent s;
        s.search = search;
        s.destination = destination;
        s.via = via;
        s.header = PacketHeader::Decode(datagram).value_or(PacketHeader{});
        const auto payload = PacketPayload(datagram);
        s.payload.assign(payload.begin(), payload.end());
        std::lock_guard lock(lock_);
        sent_.push_back(std::move(s));
        return true;
    }

    mutable std::mutex lock_;
    std::vector<Sent> sent_;
};

// Adapters given by the test.
class FixedAdapters : public IAdapterSource {
public:
    explicit FixedAdapters(std::vector<AdapterRecord> nodes) : nodes_(std::move(nodes)) {}
    std::vector<AdapterRecord> Enumerate() override { return nodes_; }

private:
    std::vector<AdapterRecord> nodes_;
};

// A usable adapter node with the given (ip, mask) addresses.
inline AdapterRecord MakeAdapter(const std::vector<std::pair<std::string, std::string>>& addresses,
                                 std::uint8_t usable = 1) {
    AdapterRecord node{};
    node.usable = usable;
    node.count = static_cast<std::uint32_t>(addresses.size());
    for (size_t i = 0; i < addresses.size() && i < kNicscanMaxAddresses; ++i) {
        std::strncpy(node.addresses[i].ip, addresses[i].first.c_str(), sizeof node.addresses[i].ip - 1);
        std::strncpy(node.addresses[i].mask, addresses[i].second.c_str(), sizeof node.addresses[i].mask - 1);
    }
    std::strncpy(node.description, "test0 (test)", sizeof node.description - 1);
    return node;
}

// A datagram from a device: header with its model, type and MAC, then the payload.
inline ReceivedPacket FromDevice(const std::string& ip, MessageType type, const std::string& mac,
                                 std::span<const std::uint8_t> payload = {}, std::uint16_t model = 257,
                                 std::uint16_t port = 9788) {
    PacketHeader header;
    header.model = model;
    header.type = static_cast<std::uint16_t>(type);
    header.mac = MacTextToBytes(mac);
    header.length = static_cast<std::uint16_t>(payload.size());
    std::vector<std::uint8_t> datagram(kHeaderSize);
    header.Encode(std::span<std::uint8_t, kHeaderSize>(datagram.data(), kHeaderSize));
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return ReceivedPacket::Make(*ParseIpv4(ip), port, datagram);
}

// An engine over a store of its own and adapters chosen by the test; it sends into a recorder, and its
// time moves only when the test moves clock.
// The devices the engine's tests speak for.
inline const std::string kMac = "00:1a:2b:3c:4d:5e";
inline const std::string kOther = "00:1a:2b:3c:4d:5f";

struct EngineHarness {
    explicit EngineHarness(std::vector<AdapterRecord> adapters = {MakeAdapter({{"192.168.1.10",
                                                                                "255.255.255.0"}})})
        : store(dir.Dir()), sender(new RecordingSender), clock(std::make_shared<ManualEngineClock>()),
          engine(store, std::make_unique<FixedAdapters>(std::move(adapters)),
                 std::unique_ptr<IPacketSender>(sender), clock) {
        std::vector<AdapterRecord> list;
        engine.RefreshAdapters(list);
    }

    // Moves the clock on and lets a started engine's two timed workers (ageing, retransmission) catch up.
    bool Advance(std::chrono::milliseconds by) {
        clock->Advance(by);
        return clock->WaitForWaiters(2);
    }
    // For an engine that was not started: lets every pending request run out of resends unanswered, so
    // that it ends as NoAnswer.
    void DropUnanswered() {
        for (int pass = 0; pass < 32 && !engine.PendingRequests().empty(); ++pass) {
            clock->Advance(std::chrono::hours(1));
            engine.RetransmitPass();
        }
    }

    TempDir dir;
    CSqlManagement store;
    RecordingSender* sender; // owned by the engine
    std::shared_ptr<ManualEngineClock> clock;
    CNetManagement engine;
};

// What ended the requests given its Track(): RequestDone callbacks may run on any engine thread, and a
// request still pending ends (Stopped) when its engine is destroyed, which may be after this object: the
// callbacks share the record, so that they never write into a destroyed one.
class RequestEnds {
public:
    struct Ended {
        int tag = 0;
        RequestEnd end;
    };

    RequestDone Track(int tag) {
        return [record = record_, tag](const RequestEnd& end) {
            std::lock_guard lock(record->lock);
            record->ends.push_back({tag, end});
        };
    }
    std::vector<Ended> All() const {
        std::lock_guard lock(record_->lock);
        return record_->ends;
    }
    size_t Count() const { return All().size(); }

private:
    struct Record {
        std::mutex lock;
        std::vector<Ended> ends;
    };
    std::shared_ptr<Record> record_ = std::make_shared<Record>();
};

} // namespace rf::test
