#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceNameBlock.h"
#include "protocol/UpgradeFileInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rf {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes HandWrittenAnnounce() {
    Bytes raw(108, 0);
    const std::string version = "V2.7.1";
    std::copy(version.begin(), version.end(), raw.begin());
    raw[32] = 6;
    raw[33] = 2;
    raw[34] = 1;
    raw[35] = 0x77;
    raw[36] = 0x8D; // 3725 seconds
    raw[37] = 0x0E;
    const std::string name = "North mast";
    std::copy(name.begin(), name.end(), raw.begin() + 40);
    raw[72] = 10;
    const std::string ssid = "Fields";
    std::copy(ssid.begin(), ssid.end(), raw.begin() + 73);
    raw[105] = 6;
    raw[106] = 36;
    raw[107] = 1;
    return raw;
}

TEST(AnnounceRecordLayout, ReadsEveryFieldOfAFullAnswer) {
    const Bytes raw = HandWrittenAnnounce();
    const AnnounceRecord record = AnnounceRecord::FromBytes(raw);
    EXPECT_EQ(record.version(), "V2.7.1");
    EXPECT_EQ(record.work_mode(), 2);
    EXPECT_EQ(record.mode_btn_status(), 1);
    EXPECT_EQ(record.up_time(), 3725u);
    EXPECT_EQ(record.ap_name(), "North mast");
    EXPECT_EQ(record.ssid(), "Fields");
    EXPECT_EQ(record.channel(), 36);
    EXPECT_EQ(record.bridge_transparent(), 1);
    EXPECT_EQ(record.bytes()[35], 0x77) << "reserved byte kept";

    AnnounceRecord built;
    built.set_version("V2.7.1");
    built.set_work_mode(2);
    built.set_mode_btn_status(1);
    built.set_up_time(3725);
    built.set_ap_name("North mast");
    built.set_ssid("Fields");
    built.set_channel(36);
    built.set_bridge_transparent(1);
    built.mutable_bytes()[35] = 0x77;
    EXPECT_TRUE(built == record) << "setters produce the hand-written layout";
}

TEST(AnnounceRecordLayout, ShortAnswersAndHeartbeats) {
    const Bytes raw = HandWrittenAnnounce();
    const AnnounceRecord versionOnly = AnnounceRecord::FromBytes(std::span(raw).first(33));
    EXPECT_EQ(versionOnly.version(), "V2.7.1");
    EXPECT_EQ(versionOnly.work_mode(), 0);
    EXPECT_EQ(versionOnly.up_time(), 0u);

    const AnnounceRecord cut = AnnounceRecord::FromBytes(std::span(raw).first(20));
    EXPECT_EQ(cut.version(), "") << "the length byte was not received";

    const AnnounceRecord heartbeat = AnnounceRecord::FromBytes(std::span(raw).first(40));
    EXPECT_EQ(heartbeat.version(), "V2.7.1");
    EXPECT_EQ(heartbeat.up_time(), 3725u);
    EXPECT_EQ(heartbeat.ap_name(), "");

    Bytes overLong = raw;
    overLong[72] = 0xFF;
    overLong[105] = 33;
    const AnnounceRecord record = AnnounceRecord::FromBytes(overLong);
    EXPECT_EQ(record.ap_name().size(), 32u);
    EXPECT_EQ(record.ap_name().substr(0, 10), "North mast");
    EXPECT_EQ(record.ssid().size(), 32u);
}

TEST(DeviceNameBlockLayout, NameIsCutToThirtyTwoBytesWithItsLength) {
    const std::string forty = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    const DeviceNameBlock block = DeviceNameBlock::FromLocalName(forty);
    Bytes expected(forty.begin(), forty.begin() + 32);
    expected.push_back(32);
    EXPECT_EQ(Bytes(block.bytes().begin(), block.bytes().end()), expected);

    const DeviceNameBlock shortName = DeviceNameBlock::FromLocalName("Mast-7");
    const Bytes expectedShort = {'M', 'a', 's', 't', '-', '7', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0,   0,   0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 6};
    EXPECT_EQ(Bytes(shortName.bytes().begin(), shortName.bytes().end()), expectedShort);

    // Fourteen CJK ideographs are 42 bytes in UTF-8; the block carries the first 32 of them.
    std::string cjk;
    for (int i = 0; i < 14; ++i) {
        cjk += "\xE5\xA1\x94";
    }
    const DeviceNameBlock cjkBlock = DeviceNameBlock::FromLocalName(cjk);
    EXPECT_EQ(cjkBlock.ap_name(), cjk.substr(0, 32));
    EXPECT_EQ(cjkBlock.ap_name_length(), 32);
}

TEST(UpgradeFileInfoLayout, NameLengthAndSize) {
    UpgradeFileInfo info;
    info.set_file_name("fw.bin");
    info.set_file_size(1048576);
    Bytes expected(268, 0);
    const std::string name = "fw.bin";
    std::copy(name.begin(), name.end(), expected.begin());
    expected[260] = 6;
    expected[266] = 0x10;
    EXPECT_EQ(Bytes(info.bytes().begin(), info.bytes().end()), expected);

    info.set_file_name(std::string(300, 'q'));
    EXPECT_EQ(info.file_name(), std::string(259, 'q'));
    EXPECT_EQ(info.file_name_length(), 259u);
    EXPECT_EQ(info.bytes()[259], 0) << "the name stays zero-terminated";

    Bytes hostile(268, 'z');
    hostile[260] = 0xFF;
    hostile[261] = 0xFF;
    const UpgradeFileInfo received = UpgradeFileInfo::FromBytes(hostile);
    EXPECT_EQ(received.file_name().size(), 259u) << "a huge length never reads past the field";
}

} // namespace
} // namespace rf
