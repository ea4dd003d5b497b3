#include "rules/DeviceRules.h"

#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace rf {
namespace {

// "北" is one CJK ideograph: three bytes on the device.
std::string Ideographs(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += "北";
    }
    return s;
}

TEST(NameRules, ByteLengthCountsIdeographsAsThree) {
    EXPECT_EQ(NameByteLength(""), 0u);
    EXPECT_EQ(NameByteLength("ab c"), 4u);
    EXPECT_EQ(NameByteLength(Ideographs(2) + "x"), 7u);
    // A character outside the ideograph range counts once, whatever its UTF-8 size.
    EXPECT_EQ(NameByteLength("é"), 1u);
}

TEST(NameRules, ThirtyTwoBytesFitThirtyThreeDoNot) {
    EXPECT_FALSE(IsValidNameLoose(Ideographs(11)));
    EXPECT_FALSE(IsValidNameStrict(Ideographs(11)));
    EXPECT_TRUE(IsValidNameLoose(Ideographs(10) + "ab"));
    EXPECT_TRUE(IsValidNameStrict(Ideographs(10) + "ab"));
    EXPECT_TRUE(IsValidNameLoose(std::string(32, 'a')));
    EXPECT_FALSE(IsValidNameLoose(std::string(33, 'a')));
}

TEST(NameRules, StrictRefusesSpaceAndOtherPunctuation) {
    EXPECT_FALSE(IsValidNameStrict("tower 1"));
    EXPECT_TRUE(IsValidNameLoose("tower 1"));
    EXPECT_TRUE(IsValidNameStrict("Tower-1_a.b/c!#$%&()*+<=>?@^~"));
    for (const char* refused : {"a,b", "a;b", "a\"b", "a'b", "a[b", "a{b", "a|b", "a:b", "a\\b", "a`b"}) {
        EXPECT_FALSE(IsValidNameStrict(refused)) << refused;
        EXPECT_TRUE(IsValidNameLoose(refused)) << refused;
    }
}

TEST(NameRules, OnlyAsciiAndIdeographsPass) {
    EXPECT_FALSE(IsValidNameLoose("café"));
    EXPECT_FALSE(IsValidNameLoose("ｔ"));       // a full-width letter is neither ASCII nor an ideograph
    EXPECT_FALSE(IsValidNameLoose("a\xff"));    // not UTF-8
    EXPECT_FALSE(IsValidNameLoose("\xe5\x8c")); // an ideograph cut short
    EXPECT_TRUE(IsValidNameLoose("站点\x01~"));
}

TEST(NameRules, ModelsFourAnd261AreStrict) {
    EXPECT_FALSE(IsValidName("a b", 4));
    EXPECT_FALSE(IsValidName("a b", 261));
    EXPECT_TRUE(IsValidName("a b", 257));
    EXPECT_TRUE(IsValidName("a b", 1));
    EXPECT_STREQ(NameRuleMessage(4), kStrictNameMessage);
    EXPECT_STREQ(NameRuleMessage(257), kLooseNameMessage);
}

TEST(AddressRules, HostAddresses) {
    for (const char* refused : {"127.0.0.5", "224.1.1.1", "255.1.1.1", "0.1.1.1", "10.0.0.0", "10.0.0.255",
                                "10.0.0", "10.0.0.1.1", "10.0.0.x", "10.0.0.5x", "10..0.5", " 10.0.0.5"}) {
        EXPECT_FALSE(IsValidHostAddress(refused, false)) << refused;
        EXPECT_FALSE(IsValidHostAddress(refused, true)) << refused;
    }
    for (const char* accepted : {"10.0.0.5", "192.168.1.254", "223.255.255.1", "1.0.0.1"}) {
        EXPECT_TRUE(IsValidHostAddress(accepted, false)) << accepted;
    }
    // Numbers above 255 are refused, not wrapped round to a valid address.
    EXPECT_FALSE(IsValidHostAddress("10.0.0.261", false));
    EXPECT_FALSE(IsValidHostAddress("266.0.0.1", false));
}

// The network and broadcast addresses are those of the mask; without one, those of a /24.
TEST(AddressRules, HostAddressesAreJudgedByTheirMask) {
    for (const char* host : {"10.99.1.0", "10.99.1.255", "10.99.0.1", "10.99.255.254"}) {
        EXPECT_TRUE(IsValidHostAddress(host, false, "255.255.0.0")) << host;
    }
    EXPECT_FALSE(IsValidHostAddress("10.99.0.0", false, "255.255.0.0"));
    EXPECT_FALSE(IsValidHostAddress("10.99.255.255", false, "255.255.0.0"));
    EXPECT_FALSE(IsValidHostAddress("10.99.1.0", false, "255.255.255.0"));
    EXPECT_FALSE(IsValidHostAddress("10.99.1.255", false, "255.0.255.0")) << "no valid mask: a /24";
    EXPECT_FALSE(IsValidHostAddress("10.0.0.4", false, "255.255.255.252"));
    EXPECT_TRUE(IsValidHostAddress("10.0.0.6", false, "255.255.255.252"));
    EXPECT_FALSE(IsValidHostAddress("10.0.0.7", false, "255.255.255.252"));
    EXPECT_TRUE(IsValidHostAddress("10.0.0.7", false, "255.255.255.254")) << "a /31 link has no broadcast";
    EXPECT_EQ(ValidateIpSettings("10.99.1.0", "255.255.0.0", "10.99.1.255", "", ""), "");
    EXPECT_EQ(ValidateIpSettings("10.99.1.0", "255.255.0.0", "10.99.255.255", "", ""),
              kInvalidGatewayMessage);
    EXPECT_EQ(ValidateIpSettings("10.99.1.5", "255.255.0.0", "", "10.98.1.0", ""), kInvalidDns1Message)
        << "a DNS server's network is not known";
}

TEST(AddressRules, EmptyAddressIsValidOnlyWhenOptional) {
    EXPECT_TRUE(IsValidHostAddress("", true));
    EXPECT_TRUE(IsValidHostAddress("0.0.0.0", true));
    EXPECT_FALSE(IsValidHostAddress("", false));
    EXPECT_FALSE(IsValidHostAddress("0.0.0.0", false));
}

TEST(AddressRules, Masks) {
    EXPECT_FALSE(IsValidMask("255.255.255.255"));
    EXPECT_FALSE(IsValidMask("0.0.0.0"));
    EXPECT_FALSE(IsValidMask("255.255.255"));
    EXPECT_FALSE(IsValidMask("a.b.c.d"));
    EXPECT_FALSE(IsValidMask(""));
    EXPECT_TRUE(IsValidMask("255.255.255.0"));
    EXPECT_TRUE(IsValidMask("255.255.254.0"));
    EXPECT_TRUE(IsValidMask("128.0.0.0"));
    EXPECT_TRUE(IsValidMask("255.255.255.252"));
    EXPECT_TRUE(IsValidMask("255.255.255.254"));
}

TEST(AddressRules, MasksWithHolesAreRefused) {
    for (const char* mask : {"255.0.255.0", "0.255.255.255", "255.255.255.1", "255.254.255.0", "1.0.0.0",
                             "0.0.0.255", "255.255.0.128"}) {
        EXPECT_FALSE(IsValidMask(mask)) << mask;
    }
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.0.255.0", "", "", ""), kInvalidMaskMessage);
}

// Every mask of leading ones from /1 to /31 is accepted, and every other one-bit pattern near it is not.
TEST(AddressRules, EveryPrefixLengthIsAMaskAndAFlippedBitIsNot) {
    for (int prefix = 1; prefix <= 31; ++prefix) {
        const uint32_t mask = ~uint32_t{0} << (32 - prefix);
        const auto text = [](uint32_t m) {
            return std::to_string(m >> 24) + "." + std::to_string(m >> 16 & 255) + "." +
                   std::to_string(m >> 8 & 255) + "." + std::to_string(m & 255);
        };
        EXPECT_TRUE(IsValidMask(text(mask))) << prefix;
        if (prefix <= 30) {
            EXPECT_FALSE(IsValidMask(text(mask | 1))) << "a host bit set under /" << prefix;
        }
        EXPECT_FALSE(IsValidMask(text(mask & ~(uint32_t{1} << 31))))
            << "the top bit cleared under /" << prefix;
    }
}

TEST(AddressRules, SameSubnetByteByByte) {
    EXPECT_TRUE(IsSameSubnet("192.168.1.10", "192.168.1.1", "255.255.255.0"));
    EXPECT_FALSE(IsSameSubnet("192.168.2.10", "192.168.1.1", "255.255.255.0"));
    EXPECT_TRUE(IsSameSubnet("192.168.2.10", "192.168.1.1", "255.255.0.0"));
    EXPECT_TRUE(IsSameSubnet("10.1.2.3", "10.9.2.7", "255.0.255.0"));
    EXPECT_FALSE(IsSameSubnet("10.1.2.3", "", "255.0.0.0"));
}

TEST(AddressRules, IpSettingsReportTheFirstFailureInOrder) {
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "10.0.0.1", "8.8.8.8", ""), "");
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "0.0.0.0", "", "0.0.0.0"), "");
    EXPECT_EQ(ValidateIpSettings("10.0.0.255", "0.0.0.0", "x", "x", "x"), kInvalidIpMessage);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "0.0.0.0", "x", "x", "x"), kInvalidMaskMessage);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "127.0.0.1", "x", "x"), kInvalidGatewayMessage);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "10.0.0.5", "x", "x"), kIpIsGatewayMessage);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "10.0.1.1", "x", "x"), kGatewaySubnetMessage);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "", "x", "x"), kInvalidDns1Message);
    EXPECT_EQ(ValidateIpSettings("10.0.0.5", "255.255.255.0", "", "8.8.8.8", "8.8.8.255"),
              kInvalidDns2Message);
}

TEST(AddressRules, AddressInUseComparesStoredIpTexts) {
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    DeviceInfo info;
    info.set_ip(IpTextToBytes("10.0.0.7"));
    ASSERT_TRUE(store.SaveDeviceInfo(ApInfo::Make("02:00:00:00:00:01", 257, 1, info)));
    EXPECT_TRUE(IsAddressInUse(store, "10.0.0.7"));
    EXPECT_FALSE(IsAddressInUse(store, "10.0.0.70"));
    EXPECT_FALSE(IsAddressInUse(store, "10.0.0.8"));
}

} // namespace
} // namespace rf
