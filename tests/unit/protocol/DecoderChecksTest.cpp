#include "protocol/DecoderChecks.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace rf {
namespace {

using Bytes = std::vector<uint8_t>;

// The fuzzing entry points abort on a broken invariant; here they run over random and edge-case inputs.
TEST(DecoderChecks, RandomInputsKeepEveryInvariant) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> size(0, 1600);
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        Bytes data(size(random));
        for (auto& b : data) {
            b = static_cast<uint8_t>(byte(random));
        }
        if (round % 2 == 0 && data.size() >= 2) {
            data[0] = 0x86;
            data[1] = 0x19;
        }
        accepted += CheckPacketHeaderDecode(data) > 0 ? 1 : 0;
        CheckDeviceInfoDecode(data);
        CheckAnnounceRecordDecode(data);
        CheckScanReplyDecode(data);
    }
    EXPECT_GT(accepted, 500) << "about half the inputs carry the magic and a fitting size";
}

TEST(DecoderChecks, RejectedInputsDecodeToNothing) {
    EXPECT_EQ(CheckPacketHeaderDecode({}), 0u);
    EXPECT_EQ(CheckPacketHeaderDecode(Bytes(15, 0)), 0u);
    EXPECT_EQ(CheckScanReplyDecode(Bytes{9, 9}), 0u);
    EXPECT_EQ(CheckAnnounceRecordDecode({}), 0u);
    EXPECT_EQ(CheckDeviceInfoDecode({}), 0u);
}

TEST(DecoderChecks, AcceptedInputsAreRead) {
    Bytes header(19, 0);
    header[0] = 0x86;
    header[1] = 0x19;
    header[4] = 2;
    header[14] = 3;
    EXPECT_EQ(CheckPacketHeaderDecode(header), 3u + 2u) << "three payload bytes, type 2";

    Bytes scan = {7, 0, 1};
    scan.resize(3 + 44, 0);
    scan[3 + 7] = 11;  // channel
    scan[3 + 41] = 50; // ssid length above its width
    EXPECT_EQ(CheckScanReplyDecode(scan), 32u + 11u + 7u);

    Bytes announce(40, 0xFF);
    EXPECT_GT(CheckAnnounceRecordDecode(announce), 0u);
    Bytes info(744, 0xFF);
    EXPECT_GT(CheckDeviceInfoDecode(info), 0u);
}

} // namespace
} // namespace rf
