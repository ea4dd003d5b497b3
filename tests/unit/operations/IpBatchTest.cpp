#include "operations/IpBatch.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

std::string Range(std::string_view start, std::string_view end, std::string_view mask,
                  std::string_view gateway, size_t devices, std::string_view dns1 = "",
                  std::string_view dns2 = "") {
    return ValidateIpRange(start, end, mask, gateway, dns1, dns2, devices);
}

TEST(IpRangeRules, RefuseAddressesNoHostMayUse) {
    for (const char* ip : {"127.0.0.5", "224.1.1.1", "10.0.0.0", "10.0.0.255", "", "0.0.0.0", "10.0.0"}) {
        EXPECT_EQ(Range(ip, "", "255.255.255.0", "", 1), kInvalidIpMessage) << ip;
    }
    for (const char* mask : {"255.255.255.255", "0.0.0.0", "255.255.0", "255.0.255.0"}) {
        EXPECT_EQ(Range("10.0.0.5", "", mask, "", 1), kInvalidMaskMessage) << mask;
    }
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "10.0.0.255", 1), kInvalidGatewayMessage);
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "10.0.0.5", 1), kIpIsGatewayMessage);
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "10.0.1.1", 1), kGatewaySubnetMessage);
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "0.0.0.0", 1), "") << "no gateway, no subnet test";
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "", 1, "127.0.0.1"), kInvalidDns1Message);
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "", 1, "8.8.8.8", "8.8.8.0"), kInvalidDns2Message);
}

TEST(IpRangeRules, TheEndCountsOnlyForSeveralDevices) {
    EXPECT_EQ(Range("10.0.0.5", "garbage", "255.255.255.0", "", 1), "");
    EXPECT_EQ(Range("10.0.0.5", "10.0.0.5", "255.255.255.0", "", 2), kInvalidIpMessage) << "start = end";
    EXPECT_EQ(Range("10.0.1.5", "10.0.0.9", "255.255.0.0", "", 2), kInvalidIpMessage) << "start above end";
    EXPECT_EQ(Range("10.0.0.5", "", "255.255.255.0", "", 2), kInvalidIpMessage);
    EXPECT_EQ(Range("10.0.0.5", "10.0.0.9", "255.255.255.0", "10.0.0.9", 2), kIpIsGatewayMessage);
    EXPECT_EQ(Range("10.0.0.5", "10.0.1.9", "255.255.255.0", "10.0.0.1", 2), kGatewaySubnetMessage);
    EXPECT_EQ(Range("192.168.1.254", "192.168.2.2", "255.255.0.0", "192.168.0.1", 4), "");
}

std::vector<std::string> Texts(const std::vector<Ipv4Bytes>& ips) {
    std::vector<std::string> out;
    for (const auto& ip : ips) {
        out.push_back(IpBytesToText(ip));
    }
    return out;
}

TEST(IpRangeHandOut, SkipsNetworkAndBroadcastEndingsAndStopsWhenEitherRunsOut) {
    IpBatch batch;
    batch.start = IpTextToBytes("192.168.1.254");
    batch.end = IpTextToBytes("192.168.2.2");
    batch.mask = IpTextToBytes("255.255.255.0");
    EXPECT_EQ(Texts(AssignIpRange(batch, 4)),
              (std::vector<std::string>{"192.168.1.254", "192.168.2.1", "192.168.2.2"}));
    EXPECT_EQ(Texts(AssignIpRange(batch, 2)), (std::vector<std::string>{"192.168.1.254", "192.168.2.1"}));
    EXPECT_EQ(Texts(AssignIpRange(batch, 1)), (std::vector<std::string>{"192.168.1.254"}))
        << "one: the start";
    EXPECT_TRUE(AssignIpRange(batch, 0).empty());

    std::swap(batch.start, batch.end);
    EXPECT_TRUE(AssignIpRange(batch, 3).empty()) << "an upside-down range gives nothing";

    batch.start = IpTextToBytes("192.168.1.250");
    batch.end = IpTextToBytes("192.168.2.3");
    const auto taken = [](const Ipv4Bytes& ip) { return ip[3] == 252 || ip[3] == 2; };
    EXPECT_EQ(Texts(AssignIpRange(batch, 9, taken)),
              (std::vector<std::string>{"192.168.1.250", "192.168.1.251", "192.168.1.253", "192.168.1.254",
                                        "192.168.2.1", "192.168.2.3"}))
        << "addresses other devices use are skipped like .0 and .255";

    batch.start = IpTextToBytes("223.255.255.250");
    batch.end = IpTextToBytes("255.255.255.255");
    EXPECT_EQ(AssignIpRange(batch, 1000).size(), 1000u) << "no wrap-round at the top";
}

TEST(IpRangeHandOut, SkipsTheNetworkAndBroadcastAddressesOfTheMask) {
    EXPECT_EQ(Range("10.99.1.0", "10.99.1.255", "255.255.0.0", "10.99.0.1", 2), "");
    EXPECT_EQ(Range("10.99.1.0", "10.99.1.255", "255.255.255.0", "", 2), kInvalidIpMessage);
    IpBatch batch;
    batch.start = IpTextToBytes("10.99.1.254");
    batch.end = IpTextToBytes("10.99.2.1");
    batch.mask = IpTextToBytes("255.255.0.0");
    EXPECT_EQ(Texts(AssignIpRange(batch, 9)),
              (std::vector<std::string>{"10.99.1.254", "10.99.1.255", "10.99.2.0", "10.99.2.1"}));
    batch.start = IpTextToBytes("10.0.0.0");
    batch.end = IpTextToBytes("10.0.0.11");
    batch.mask = IpTextToBytes("255.255.255.252");
    EXPECT_EQ(
        Texts(AssignIpRange(batch, 9)),
        (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.5", "10.0.0.6", "10.0.0.9", "10.0.0.10"}));
}

TEST(IpRangeHandOut, BlocksCarryStaticModeTheSharedSettingsAndApplyAtOnce) {
    IpBatch batch{IpTextToBytes("10.0.0.1"),   IpTextToBytes("10.0.0.9"), IpTextToBytes("255.255.255.0"),
                  IpTextToBytes("10.0.0.254"), IpTextToBytes("8.8.8.8"),  IpTextToBytes("1.1.1.1")};
    const IpSettingsBlock block = BuildBatchIpBlock(batch, IpTextToBytes("10.0.0.7"));
    const IpSettingsBlock expected{1, 10,  0, 0, 7, 255, 255, 255, 0, 10, 0,
                                   0, 254, 8, 8, 8, 8,   1,   1,   1, 1,  1};
    EXPECT_EQ(block, expected);
}

IpSettingsBlock Opening() {
    return {2, 10, 0, 0, 7, 255, 255, 255, 0, 10, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

TEST(IpTab, AnUnchangedFormIsAcceptedWithoutChecksWhateverTheStoredMode) {
    int asked = 0;
    const auto check = CheckIpSettings(Opening(), {"10.0.0.7", "255.255.255.0", "10.0.0.1", "", ""},
                                       [&](const std::string&) { return ++asked, true; });
    EXPECT_TRUE(check.accepted);
    EXPECT_FALSE(check.changed);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(check.block[0], 1);
    EXPECT_EQ(check.block[kBlockApplyOffset], 1);
}

TEST(IpTab, AChangedFormIsValidatedAndMayNotTakeAnotherDevicesAddress) {
    const auto inUse = [](const std::string& ip) { return ip == "10.0.0.8"; };
    const auto taken = CheckIpSettings(Opening(), {"10.0.0.8", "255.255.255.0", "10.0.0.1", "", ""}, inUse);
    EXPECT_FALSE(taken.accepted);
    EXPECT_EQ(taken.message, kAddressInUseMessage);

    const auto own =
        CheckIpSettings(Opening(), {"10.0.0.7", "255.255.255.0", "10.0.0.1", "8.8.8.8", ""}, inUse);
    EXPECT_TRUE(own.accepted);
    EXPECT_TRUE(own.changed);
    EXPECT_EQ(own.block[13], 8);

    const auto bad = CheckIpSettings(Opening(), {"10.0.0.9", "255.255.255.255", "", "", ""}, inUse);
    EXPECT_EQ(bad.message, kInvalidMaskMessage);

    for (const char* malformed : {"8.8.8", "8.8.8.256", "dns"}) {
        const auto partial =
            CheckIpSettings(Opening(), {"10.0.0.7", "255.255.255.0", "10.0.0.1", malformed, ""}, inUse);
        EXPECT_FALSE(partial.accepted) << malformed << ": not read as 0.0.0.0 and taken as unchanged";
        EXPECT_EQ(partial.message, kInvalidDns1Message) << malformed;
    }
    EXPECT_EQ(CheckIpSettings(Opening(), {"10.0.0", "255.255.255.0", "10.0.0.1", "", ""}, inUse).message,
              kInvalidIpMessage);

    const auto moved = CheckIpSettings(Opening(), {"10.0.0.9", "255.255.255.0", "", "", ""}, inUse);
    ASSERT_TRUE(moved.accepted);
    const IpSettingsBlock expected{1, 10, 0, 0, 9, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(moved.block, expected);
}

} // namespace
} // namespace rf
