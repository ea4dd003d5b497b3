#include "StoreFixture.h"

#include "protocol/ScanReply.h"

namespace rf::test {
namespace {

ScanEntry Entry(uint8_t last, int8_t signal, const std::string& ssid, uint8_t channel = 36) {
    ScanEntry entry;
    entry.set_mac({0x10, 0x20, 0x30, 0x40, 0x50, last});
    entry.set_signal(signal);
    entry.set_channel(channel);
    entry.set_secure_mode(3);
    entry.set_ssid(ssid);
    entry.set_exchannel(1);
    entry.set_bandwidth(2);
    return entry;
}

std::vector<uint8_t> Payload(uint8_t count, uint8_t id, const std::vector<ScanEntry>& entries) {
    ScanReply reply;
    reply.packet_count = count;
    reply.packet_id = id;
    reply.entries = entries;
    std::vector<uint8_t> bytes(ScanReply::kMaxSize);
    bytes.resize(reply.Encode(bytes));
    return bytes;
}

std::vector<int> Signals(const std::vector<ScannedApRecord>& aps) {
    std::vector<int> signals;
    for (const auto& ap : aps) {
        signals.push_back(ap.signal());
    }
    return signals;
}

TEST_F(StoreTest, ScanResultsKeepNegativeSignalsAndSortByThem) {
    ASSERT_TRUE(Store().SaveScanResults(Payload(2, 0, {Entry(1, -60, "near"), Entry(2, -70, "far")})));
    ASSERT_TRUE(Store().SaveScanResults(Payload(2, 1, {Entry(3, -45, "it's 100%")})));
    EXPECT_EQ(Raw("SELECT signal FROM ap_other_info WHERE ssid='far'"), "-70");

    std::vector<ScannedApRecord> aps;
    ASSERT_TRUE(Store().QueryScannedAps(4, true, aps));
    EXPECT_EQ(Signals(aps), (std::vector<int>{-70, -60, -45}));
    aps.clear();
    ASSERT_TRUE(Store().QueryScannedAps(4, false, aps));
    EXPECT_EQ(Signals(aps), (std::vector<int>{-45, -60, -70}));

    EXPECT_EQ(
        Raw("SELECT packet_count || '/' || packet_id || '/' || icount FROM ap_other_info WHERE ssid='far'"),
        "2/0/2");
    EXPECT_EQ(
        Raw("SELECT packet_count || '/' || packet_id || '/' || icount FROM ap_other_info WHERE signal=-45"),
        "2/1/1");
}

TEST_F(StoreTest, AScannedAccessPointReadsBackAsItArrived) {
    const auto entry = Entry(7, -81, "It's \"quoted\"", 149);
    ASSERT_TRUE(Store().SaveScanResults(Payload(1, 0, {entry})));
    ScannedApRecord ap;
    ASSERT_TRUE(Store().GetScannedAp("10:20:30:40:50:07", ap));
    EXPECT_TRUE(ap == entry);

    ASSERT_TRUE(Store().GetScannedAp("10:20:30:40:50:08", ap));
    EXPECT_TRUE(ap == ScannedApRecord{});
}

TEST_F(StoreTest, AnAccessPointSeenAgainIsRewrittenNotDuplicated) {
    ASSERT_TRUE(Store().SaveScanResults(Payload(1, 0, {Entry(1, -60, "old name")})));
    ASSERT_TRUE(Store().SaveScanResults(Payload(1, 0, {Entry(1, -52, "new name", 11)})));
    std::vector<ScannedApRecord> aps;
    ASSERT_TRUE(Store().QueryScannedAps(1, true, aps));
    ASSERT_EQ(aps.size(), 1u);
    EXPECT_EQ(aps[0].ssid(), "new name");
    EXPECT_EQ(aps[0].signal(), -52);
    EXPECT_EQ(aps[0].channel(), 11);
}

TEST_F(StoreTest, AShortOrOverlongScanReplyStoresOnlyWholeEntries) {
    auto bytes = Payload(1, 0, {Entry(1, -60, "a"), Entry(2, -61, "b"), Entry(3, -62, "c")});
    bytes.resize(bytes.size() - 10); // the third entry is cut short
    EXPECT_TRUE(Store().SaveScanResults(bytes));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_other_info"), "2");

    bytes = Payload(1, 0, {Entry(4, -60, "d")});
    bytes[2] = 200; // claims far more entries than it carries
    EXPECT_TRUE(Store().SaveScanResults(bytes));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_other_info"), "3");

    EXPECT_FALSE(Store().SaveScanResults(std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_other_info"), "3");
}

TEST_F(StoreTest, ScannedAccessPointsSortByEachCodeAndClearTogether) {
    ASSERT_TRUE(Store().SaveScanResults(
        Payload(1, 0, {Entry(3, -50, "Bravo", 1), Entry(1, -70, "charlie", 11), Entry(2, -60, "alpha", 6)})));
    const auto order = [this](int code) {
        std::vector<ScannedApRecord> aps;
        EXPECT_TRUE(Store().QueryScannedAps(code, true, aps));
        std::vector<std::string> ssids;
        for (const auto& ap : aps) {
            ssids.push_back(ap.ssid());
        }
        return ssids;
    };
    EXPECT_EQ(order(0), (std::vector<std::string>{"charlie", "alpha", "Bravo"}));
    EXPECT_EQ(order(1), (std::vector<std::string>{"alpha", "Bravo", "charlie"}));
    EXPECT_EQ(order(2), (std::vector<std::string>{"Bravo", "alpha", "charlie"}));
    EXPECT_EQ(order(4), (std::vector<std::string>{"charlie", "alpha", "Bravo"}));

    std::vector<ScannedApRecord> aps;
    EXPECT_FALSE(Store().QueryScannedAps(5, true, aps));
    EXPECT_TRUE(aps.empty());

    EXPECT_TRUE(Store().ClearScannedAps());
    EXPECT_TRUE(Store().QueryScannedAps(0, true, aps));
    EXPECT_TRUE(aps.empty());
}

} // namespace
} // namespace rf::test
