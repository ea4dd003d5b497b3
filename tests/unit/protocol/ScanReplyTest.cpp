#include "protocol/ScanReply.h"
#include "protocol/CodeTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rf {
namespace {

using Bytes = std::vector<uint8_t>;

// One 44-byte entry written from the table: BSSID, signal, channel, security, SSID, its length,
// extension channel, bandwidth.
Bytes Entry(uint8_t last, int8_t signal, const std::string& ssid) {
    Bytes e = {0x00, 0x11, 0x22, 0x33, 0x44, last, static_cast<uint8_t>(signal), 6, 3};
    e.resize(44, 0);
    std::copy(ssid.begin(), ssid.end(), e.begin() + 9);
    e[41] = static_cast<uint8_t>(ssid.size());
    e[42] = 1;
    e[43] = 2;
    return e;
}

Bytes Reply(uint8_t count, uint8_t id, uint8_t icount, size_t entries) {
    Bytes raw = {count, id, icount};
    for (size_t i = 0; i < entries; ++i) {
        const Bytes e = Entry(static_cast<uint8_t>(i), static_cast<int8_t>(-40 - static_cast<int>(i)),
                              "ap" + std::to_string(i));
        raw.insert(raw.end(), e.begin(), e.end());
    }
    return raw;
}

TEST(ScanReplyDecode, ReadsCountersAndEntries) {
    const auto reply = ScanReply::Decode(Reply(2, 1, 2, 2));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->packet_count, 2);
    EXPECT_EQ(reply->packet_id, 1);
    EXPECT_EQ(reply->icount, 2);
    ASSERT_EQ(reply->entries.size(), 2u);
    const ScanEntry& second = reply->entries[1];
    EXPECT_EQ(MacBytesToText(second.mac()), "00:11:22:33:44:01");
    EXPECT_EQ(second.signal(), -41);
    EXPECT_EQ(second.channel(), 6);
    EXPECT_EQ(second.secure_mode(), 3);
    EXPECT_EQ(second.ssid(), "ap1");
    EXPECT_EQ(second.exchannel(), 1);
    EXPECT_EQ(second.bandwidth(), 2);
    EXPECT_TRUE(reply->IsLast());
}

TEST(ScanReplyDecode, EntryCountIsBoundedByThirtyTwoAndByTheReceivedBytes) {
    const auto tooMany = ScanReply::Decode(Reply(1, 0, 40, 33));
    ASSERT_TRUE(tooMany);
    EXPECT_EQ(tooMany->entries.size(), 32u) << "icount above 32 is read as 32";

    Bytes partial = Reply(1, 0, 5, 2);
    partial.resize(partial.size() + 30, 0x55); // a third entry cut short
    const auto shortReply = ScanReply::Decode(partial);
    ASSERT_TRUE(shortReply);
    EXPECT_EQ(shortReply->icount, 5);
    EXPECT_EQ(shortReply->entries.size(), 2u) << "only whole entries that arrived";

    const auto none = ScanReply::Decode(Bytes{1, 0, 3});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->entries.empty());
    EXPECT_FALSE(ScanReply::Decode(Bytes{1, 0}));
    EXPECT_FALSE(ScanReply::Decode({}));
}

TEST(ScanReplyDecode, OverLongSsidLengthIsTakenAsTheWidth) {
    Bytes raw = {1, 0, 1};
    Bytes e = Entry(9, -70, std::string(32, 'w'));
    e[41] = 90;
    raw.insert(raw.end(), e.begin(), e.end());
    const auto reply = ScanReply::Decode(raw);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->entries.at(0).ssid(), std::string(32, 'w'));
}

TEST(ScanReplyDecode, CompletionNeedsTheLastPacketOfANonEmptyScan) {
    ScanReply reply;
    reply.packet_count = 3;
    reply.packet_id = 1;
    EXPECT_FALSE(reply.IsLast());
    reply.packet_id = 2;
    EXPECT_TRUE(reply.IsLast());
    reply.packet_count = 0;
    reply.packet_id = 255;
    EXPECT_FALSE(reply.IsLast()) << "a count of zero never completes, even with id 255";
}

TEST(ScanReplyEncode, WritesTheLayoutItDecodes) {
    const Bytes raw = Reply(4, 3, 3, 3);
    const auto reply = ScanReply::Decode(raw);
    ASSERT_TRUE(reply);
    Bytes out(ScanReply::kMaxSize, 0xCC);
    ASSERT_EQ(reply->Encode(out), raw.size());
    out.resize(raw.size());
    EXPECT_EQ(out, raw);

    ScanReply big;
    big.entries.resize(40);
    Bytes full(ScanReply::kMaxSize);
    EXPECT_EQ(big.Encode(full), 3u + 32u * 44u);
    EXPECT_EQ(full[2], 32) << "icount matches what was written";
    Bytes tiny(10);
    EXPECT_EQ(big.Encode(tiny), 0u);
}

} // namespace
} // namespace rf
