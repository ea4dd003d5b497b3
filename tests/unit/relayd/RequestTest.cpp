#include "relayd/RelaydConfig.h"
#include "relayd/TftpRequest.h"
#include "relayd/TransferOptions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf::tftp {
namespace {

// An option name and its value as they appear in a packet.
std::string Pair(const std::string& name, const std::string& value) {
    return name + '\0' + value + '\0';
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// opcode, then the strings, each followed by NUL.
std::vector<uint8_t> Packet(uint16_t opcode, std::initializer_list<std::string> strings) {
    std::string text{static_cast<char>(opcode >> 8), static_cast<char>(opcode & 0xFF)};
    for (const auto& s : strings) {
        text += s;
        text += '\0';
    }
    return Bytes(text);
}

TEST(TftpRequest, ReadsNameModeAndTheOptionsItKnows) {
    const auto request = TftpRequest::Parse(Packet(1, {"fw.bin", "OCTET", "BlkSize", "1468", "tsize", "0",
                                                       "timeout", "3", "windowsize", "16", "x", "y"}));
    ASSERT_TRUE(request.Ok());
    EXPECT_EQ(request.opcode, kReadRequest);
    EXPECT_EQ(request.fileName, "fw.bin");
    EXPECT_TRUE(request.ModeIsOctet());
    EXPECT_EQ(request.options.blockSize, 1468);
    EXPECT_EQ(request.options.transferSize, 0u);
    EXPECT_EQ(request.options.timeoutSeconds, 3);
    EXPECT_EQ(request.options.windowSize, 16);

    const auto write = TftpRequest::Parse(Packet(2, {"fw.bin", "netascii"}));
    ASSERT_TRUE(write.Ok());
    EXPECT_EQ(write.opcode, kWriteRequest);
    EXPECT_FALSE(write.ModeIsOctet());
    EXPECT_FALSE(write.options.blockSize || write.options.transferSize || write.options.windowSize);
}

TEST(TftpRequest, FirstOccurrenceOfAnOptionDecidesEvenWhenItIsInvalid) {
    auto request = TftpRequest::Parse(Packet(1, {"f", "octet", "blksize", "1024", "BLKSIZE", "2048"}));
    EXPECT_EQ(request.options.blockSize, 1024);
    request = TftpRequest::Parse(Packet(1, {"f", "octet", "blksize", "abc", "blksize", "2048"}));
    ASSERT_TRUE(request.Ok());
    EXPECT_FALSE(request.options.blockSize);
}

TEST(TftpRequest, ValuesOutOfRangeOrNotPlainDecimalsAreIgnored) {
    struct Case {
        std::string name, value;
        bool taken;
    };
    const Case cases[] = {
        {"blksize", "7", false},
        {"blksize", "8", true},
        {"blksize", "65464", true},
        {"blksize", "65465", false},
        {"blksize", "+512", false},
        {"blksize", " 512", false},
        {"blksize", "", false},
        {"timeout", "0", false},
        {"timeout", "1", true},
        {"timeout", "255", true},
        {"timeout", "256", false},
        {"windowsize", "0", false},
        {"windowsize", "65535", true},
        {"windowsize", "65536", false},
        {"tsize", "0", true},
        {"tsize", "18446744073709551615", true},
        {"tsize", "18446744073709551616", false},
        {"tsize", "000000000000000000001", false},
        {"tsize", "-1", false},
    };
    for (const auto& c : cases) {
        const auto request = TftpRequest::Parse(Packet(1, {"f", "octet", c.name, c.value}));
        ASSERT_TRUE(request.Ok()) << c.name << "=" << c.value;
        const auto& o = request.options;
        const bool taken = o.blockSize || o.timeoutSeconds || o.windowSize || o.transferSize;
        EXPECT_EQ(taken, c.taken) << c.name << "=" << c.value;
    }
}

TEST(TftpRequest, TruncatedOrUnterminatedPacketsAreRefused) {
    using Status = TftpRequest::Status;
    EXPECT_EQ(TftpRequest::Parse({}).status, Status::NotARequest);
    EXPECT_EQ(TftpRequest::Parse(Bytes(std::string(1, '\1'))).status, Status::NotARequest);
    EXPECT_EQ(TftpRequest::Parse(Packet(3, {"f", "octet"})).status, Status::NotARequest);
    EXPECT_EQ(TftpRequest::Parse(Packet(6, {"f", "octet"})).status, Status::NotARequest);

    EXPECT_EQ(TftpRequest::Parse(Bytes(std::string("\0\1", 2))).status, Status::Malformed);
    EXPECT_EQ(TftpRequest::Parse(Bytes(std::string("\0\1name", 6))).status, Status::Malformed) << "no NUL";
    EXPECT_EQ(TftpRequest::Parse(Bytes(std::string("\0\1name\0octet", 12))).status, Status::Malformed);
    EXPECT_EQ(TftpRequest::Parse(Packet(1, {"f", "octet", "blksize"})).status, Status::Malformed);
    auto unterminatedValue = Packet(1, {"f", "octet", "blksize", "512"});
    unterminatedValue.pop_back();
    EXPECT_EQ(TftpRequest::Parse(unterminatedValue).status, Status::Malformed);

    auto padded = Packet(1, {"f", "octet", "blksize", "512"});
    padded.insert(padded.end(), 5, 0);
    const auto request = TftpRequest::Parse(padded);
    EXPECT_TRUE(request.Ok()) << "NUL padding after the last option";
    EXPECT_EQ(request.options.blockSize, 512);
}

TEST(TftpRequest, HugeOptionListsAreWalkedWithoutLosingTheFirstKnownOption) {
    std::string text("\0\1f\0octet\0", 10);
    text += Pair("windowsize", "8");
    for (int i = 0; i < 5000; ++i) {
        text += Pair("opt" + std::to_string(i), "v");
    }
    text += Pair("windowsize", "64") + Pair("blksize", "1000");
    const auto request = TftpRequest::Parse(Bytes(text));
    ASSERT_TRUE(request.Ok());
    EXPECT_EQ(request.options.windowSize, 8);
    EXPECT_EQ(request.options.blockSize, 1000);
}

std::string OackText(const TransferOptions& options) {
    const auto bytes = options.Oack();
    return {bytes.begin(), bytes.end()};
}

TEST(TransferOptions, GrantsWithinCapsAndListsExactlyWhatWasGranted) {
    RequestedOptions requested;
    EXPECT_TRUE(TransferOptions::Negotiate(requested, 100, 1468).Oack().empty());
    EXPECT_EQ(TransferOptions::Negotiate(requested, 100, 1468).BlockSize(), 512);

    requested.blockSize = 65464;
    requested.transferSize = 0;
    requested.windowSize = 500;
    requested.timeoutSeconds = 7;
    const auto granted = TransferOptions::Negotiate(requested, 16777216, 1468);
    EXPECT_EQ(granted.BlockSize(), 1468);
    EXPECT_EQ(granted.WindowSize(), 64);
    EXPECT_EQ(granted.TimeoutSeconds(), 7);
    const std::string nul(1, '\0');
    EXPECT_EQ(OackText(granted), std::string("\0\6", 2) + "blksize" + nul + "1468" + nul + "tsize" + nul +
                                     "16777216" + nul + "timeout" + nul + "7" + nul + "windowsize" + nul +
                                     "64" + nul);

    requested = {};
    requested.blockSize = 512;
    EXPECT_EQ(TransferOptions::Negotiate(requested, 1, 1468).BlockSize(), 512) << "smaller than the cap";
}

TEST(TransferOptions, TheLongestGrantStillFitsTheOackBuffer) {
    RequestedOptions requested;
    requested.blockSize = 65464;
    requested.transferSize = 0;
    requested.windowSize = 64;
    requested.timeoutSeconds = 255;
    const auto granted = TransferOptions::Negotiate(requested, UINT64_MAX, 65464);
    const auto text = OackText(granted);
    EXPECT_NE(text.find(Pair("tsize", "18446744073709551615")), std::string::npos);
    EXPECT_NE(text.find(Pair("windowsize", "64")), std::string::npos);
    EXPECT_NE(text.find(Pair("timeout", "10")), std::string::npos) << "a client may ask no longer timeout";
    EXPECT_NE(text.find(Pair("blksize", "65464")), std::string::npos);
}

TEST(RelaydConfig, ReadsDirectoryAndPortAndExplainsWhatIsMissing) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(RelaydConfig::Load(dir.Dir() + "Relayd.ini", error));
    EXPECT_NE(error.find("Directory"), std::string::npos);

    dir.Write("Relayd.ini", "[server]\ndirectory = \"/srv/fw files\"\n");
    auto config = RelaydConfig::Load(dir.Dir() + "Relayd.ini", error);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->directory, "/srv/fw files");
    EXPECT_EQ(config->port, 69);

    dir.Write("Relayd.ini", "[SERVER]\nDirectory=/srv\nPort=6969\n");
    EXPECT_EQ(RelaydConfig::Load(dir.Dir() + "Relayd.ini", error)->port, 6969);
    for (const char* bad : {"0", "65536", "69x", "-1"}) {
        dir.Write("Relayd.ini", std::string("[SERVER]\nDirectory=/srv\nPort=") + bad + "\n");
        EXPECT_FALSE(RelaydConfig::Load(dir.Dir() + "Relayd.ini", error)) << bad;
        EXPECT_NE(error.find("Port"), std::string::npos);
    }
}

} // namespace
} // namespace rf::tftp
