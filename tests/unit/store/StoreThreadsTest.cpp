#include "StoreFixture.h"

#include <atomic>
#include <thread>

namespace rf::test {
namespace {

// Two writers as the engine's processors would be, and a reader as the interface thread would be.
TEST_F(StoreTest, WritersAndAReaderAtOnceLoseNothing) {
    constexpr int kPerWriter = 400;
    std::atomic<int> readerFailures = 0;
    std::atomic<bool> writing = true;
    const auto writer = [this](int base) {
        for (int i = 0; i < kPerWriter; ++i) {
            const std::string mac = MacFor(base + i);
            const std::string ip =
                "10.1." + std::to_string((base + i) / 250) + "." + std::to_string((base + i) % 250);
            EXPECT_TRUE(Store().SaveDeviceInfo(MakeDevice(mac, ip, "w" + std::to_string(base))));
            EXPECT_TRUE(Store().UpdateUptime(ip, mac, static_cast<uint32_t>(i)));
            EXPECT_TRUE(
                Store().SetDeviceStatus(mac, i % 2 == 0 ? DeviceStatus::Restarting : DeviceStatus::Outline));
        }
    };
    std::jthread reader([&](std::stop_token stop) {
        while (!stop.stop_requested() && writing) {
            std::vector<ap_info_stu> devices;
            int pages = 0;
            int online = 0;
            if (!Store().QueryDevicePage(SortKey::IpAddress, "w", true, 50, 2, devices, pages, online) ||
                online > pages * 50) {
                ++readerFailures;
            }
        }
    });
    {
        std::jthread first(writer, 0);
        std::jthread second(writer, 1000);
    }
    writing = false;
    reader.join();
    EXPECT_EQ(readerFailures, 0);

    std::vector<std::string> macs;
    ASSERT_TRUE(Store().ListDeviceMacs(macs));
    EXPECT_EQ(macs.size(), 2u * kPerWriter);
    for (int base : {0, 1000}) {
        for (int i = 0; i < kPerWriter; ++i) {
            ASSERT_EQ(Store().GetDeviceStatus(MacFor(base + i)),
                      i % 2 == 0 ? DeviceStatus::Restarting : DeviceStatus::Outline);
            ap_info_stu device;
            ASSERT_TRUE(Store().GetDevice(MacFor(base + i), device));
            ASSERT_EQ(device.device_info().up_time(), static_cast<uint32_t>(i));
        }
    }
    std::vector<ap_info_stu> devices;
    int pages = 0;
    int online = 0;
    ASSERT_TRUE(Store().QueryDevicePage(SortKey::Mac, "", true, 100, 1, devices, pages, online));
    EXPECT_EQ(online, kPerWriter);
    EXPECT_EQ(pages, 2 * kPerWriter / 100);
}

} // namespace
} // namespace rf::test
