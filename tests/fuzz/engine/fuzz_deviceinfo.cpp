#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"

#include <cstddef>
#include <cstdint>
#include <span>

// A GetInfo payload as the engine reads it: decoded, its texts converted, turned into a device record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    auto info = rf::DeviceInfo::FromBytes(std::span(data, size));
    info.ConvertTextsToLocal();
    const auto record = rf::ApInfo::Make("00:11:22:33:44:55", 1, 1, info);
    const auto back = record.device_info();
    volatile size_t sink = back.ap_name().size() + back.ssid().size() + back.bridge_ssid().size() +
                           back.version().size() + rf::IpBytesToText(back.ip()).size() +
                           rf::UptimeText(back.up_time()).size();
    (void)sink;
    return 0;
}
