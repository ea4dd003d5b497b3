#include "protocol/AnnounceRecord.h"
#include "support/EngineHarness.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

std::vector<std::uint8_t> Datagram(std::uint16_t type, size_t size) {
    std::vector<std::uint8_t> d(size);
    if (size >= 2) {
        d[0] = 0x86;
        d[1] = 0x19;
    }
    if (size >= 6) {
        d[4] = static_cast<std::uint8_t>(type);
    }
    if (size >= kHeaderSize) { // the length counts the bytes after the header
        StoreU16(d, PacketHeader::kLengthOffset, static_cast<std::uint16_t>(size - kHeaderSize));
    }
    return d;
}

TEST(EngineAcceptance, SizeAndMagicDecide) {
    EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Reply, Datagram(2, 15)));
    EXPECT_TRUE(AcceptDatagram(ReceiveSocket::Reply, Datagram(2, 16)));
    EXPECT_TRUE(AcceptDatagram(ReceiveSocket::Reply, Datagram(2, 1472)));
    EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Reply, Datagram(2, 1473)));
    auto badMagic = Datagram(2, 16);
    badMagic[1] = 0x20;
    EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Reply, badMagic));
    for (const std::uint16_t claimed : {0, 3, 5, 65535}) {
        auto wrongLength = Datagram(2, kHeaderSize + 4);
        StoreU16(wrongLength, PacketHeader::kLengthOffset, claimed);
        EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Reply, wrongLength)) << "4 bytes, length " << claimed;
    }
}

TEST(EngineAcceptance, EachSocketKeepsItsTypes) {
    EXPECT_TRUE(AcceptDatagram(ReceiveSocket::Announce, Datagram(1, 16)));
    EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Announce, Datagram(15, 16)));
    EXPECT_TRUE(AcceptDatagram(ReceiveSocket::Heartbeat, Datagram(15, 16)));
    EXPECT_FALSE(AcceptDatagram(ReceiveSocket::Heartbeat, Datagram(1, 16)));
    EXPECT_TRUE(AcceptDatagram(ReceiveSocket::Reply, Datagram(14, 16)));
}

TEST(EngineAcceptance, UnusedTypeOnTheReplySocketChangesNothing) {
    test::EngineHarness h;
    DeviceInfo info;
    info.set_ip(IpTextToBytes("192.168.1.20"));
    h.engine.OnAnnounce(test::FromDevice("192.168.1.20", MessageType::Search, "00:1a:2b:3c:4d:5e",
                                         AnnounceRecord().bytes(), 257, 9785));
    h.engine.DispatchReply(
        test::FromDevice("192.168.1.20", MessageType::GetInfo, "00:1a:2b:3c:4d:5e", info.bytes()));
    const auto pendingBefore = h.engine.PendingRequests().size();
    const auto sentBefore = h.sender->All().size();
    const std::uint8_t payload[] = {0};
    h.engine.DispatchReply(
        test::FromDevice("192.168.1.20", MessageType::Unused14, "00:1a:2b:3c:4d:5e", payload));
    EXPECT_EQ(h.engine.PendingRequests().size(), pendingBefore);
    EXPECT_EQ(h.sender->All().size(), sentBefore);
    EXPECT_EQ(h.store.GetDeviceStatus("00:1a:2b:3c:4d:5e"), DeviceStatus::Online);
}

} // namespace
} // namespace rf
