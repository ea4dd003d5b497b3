#include "operations/AdapterDevices.h"
#include "support/AnnouncedDevice.h"

#include <cstring>
#include <gtest/gtest.h>

namespace rf {
namespace {

OnlineEntry At(const std::string& ip) {
    OnlineEntry entry;
    entry.ip = ip;
    return entry;
}

TEST(AdapterDevices, CountsTheDevicesOfEachSubnetOfTheAdapter) {
    const std::vector<OnlineEntry> online{At("192.168.1.20"), At("192.168.1.30"), At("10.0.0.7"),
                                          At("192.168.2.20"), At("172.16.0.1")};
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}), online), 2);
    EXPECT_EQ(CountAdapterDevices(
                  test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}}), online),
              3);
    // A wider mask takes in the neighbouring subnet.
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", "255.255.0.0"}}), online), 3);
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.9.10", "255.255.255.0"}}), online), 0);
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}), {}), 0);
}

TEST(AdapterDevices, ADeviceInTwoOverlappingSubnetsCountsOnce) {
    const auto adapter =
        test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"192.168.1.11", "255.255.0.0"}});
    EXPECT_EQ(CountAdapterDevices(adapter, {At("192.168.1.20")}), 1);
}

TEST(AdapterDevices, AddressesWithoutAMaskOrBeyondTheCountReachNoDevice) {
    const std::vector<OnlineEntry> online{At("192.168.1.20"), At("10.0.0.7")};
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", ""}}), online), 0);
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", "0.0.0.0"}}), online), 0);
    auto adapter = test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}});
    adapter.count = 1;
    EXPECT_EQ(CountAdapterDevices(adapter, online), 1);
    adapter.count = 99; // a damaged count reads no further than the ten entries
    EXPECT_EQ(CountAdapterDevices(adapter, online), 2);
    // A device whose address is not dotted text lies in no subnet.
    EXPECT_EQ(CountAdapterDevices(test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}), {At("")}), 0);
}

TEST(AdapterDevices, AdapterTextsJoinTheValidAddressesAndShowTheFirstSixBytesAsMac) {
    auto adapter = test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}});
    const std::uint8_t hardware[8] = {0x82, 0x7D, 0xc9, 0xa0, 0x55, 0x58, 0xee, 0xff};
    std::memcpy(adapter.hardwareAddress, hardware, sizeof hardware);
    EXPECT_EQ(AdapterMacText(adapter), "82:7d:c9:a0:55:58");
    EXPECT_EQ(AdapterIpsText(adapter), "192.168.1.10--10.0.0.5");
    EXPECT_EQ(AdapterDescriptionText(adapter), "test0 (test)");
    adapter.count = 1;
    EXPECT_EQ(AdapterIpsText(adapter), "192.168.1.10");
    // A description that fills its field without a terminator ends at the field.
    std::memset(adapter.description, 'x', sizeof adapter.description);
    EXPECT_EQ(AdapterDescriptionText(adapter), std::string(sizeof adapter.description, 'x'));
}

TEST(AdapterDevices, ListsTheEnginesUsableAdaptersWithTheirOnlineDevices) {
    test::EngineHarness h({test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}),
                           test::MakeAdapter({{"0.0.0.0", "255.255.255.0"}}),
                           test::MakeAdapter({{"10.0.0.5", "255.255.255.0"}})});
    h.engine.OnAnnounce(test::AnnounceFrom("192.168.1.20", "02:00:00:00:00:01"));
    h.engine.OnAnnounce(test::AnnounceFrom("192.168.1.21", "02:00:00:00:00:02"));
    h.engine.OnAnnounce(test::AnnounceFrom("10.0.0.20", "02:00:00:00:00:03"));
    h.engine.OnAnnounce(test::AnnounceFrom("172.16.0.20", "02:00:00:00:00:04"));

    const auto listed = ListAdapterDevices(h.engine);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_STREQ(listed[0].adapter.addresses[0].ip, "192.168.1.10");
    EXPECT_EQ(listed[0].devices, 2);
    EXPECT_STREQ(listed[1].adapter.addresses[0].ip, "10.0.0.5");
    EXPECT_EQ(listed[1].devices, 1);
}

TEST(AdapterDevices, NoAdaptersListNothing) {
    test::EngineHarness h(std::vector<AdapterRecord>{});
    h.engine.OnAnnounce(test::AnnounceFrom("192.168.1.20", "02:00:00:00:00:01"));
    EXPECT_TRUE(ListAdapterDevices(h.engine).empty());
}

} // namespace
} // namespace rf
