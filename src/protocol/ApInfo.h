#pragma once

#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"
#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// The device record passed between engine, store and pages (768 bytes): MAC text, model code, status
// code and the device's DeviceInfo.
class ApInfo : public FixedRecord<768> {
public:
    static constexpr size_t kMacOffset = 0;
    static constexpr size_t kMacWidth = 18; // 17 characters and the terminating zero
    static constexpr size_t kApTypeOffset = 18;
    static constexpr size_t kApStatusOffset = 20;
    static constexpr size_t kDeviceInfoOffset = 24;

    static ApInfo FromBytes(std::span<const uint8_t> bytes);
    static ApInfo Make(std::string_view macText, uint16_t apType, int32_t apStatus, const DeviceInfo& info);
    static ApInfo Make(std::string_view macText, uint16_t apType, DeviceStatus status,
                       const DeviceInfo& info) {
        return Make(macText, apType, ToCode(status), info);
    }

    // The text up to the first zero, at most 17 characters.
    std::string mac() const;
    // Cut to 17 characters; the rest of the field is zeroed.
    void set_mac(std::string_view macText);
    uint16_t ap_type() const { return U16(kApTypeOffset); }
    void set_ap_type(uint16_t v) { SetU16(kApTypeOffset, v); }
    int32_t ap_status() const { return static_cast<int32_t>(U32(kApStatusOffset)); }
    void set_ap_status(int32_t v) { SetU32(kApStatusOffset, static_cast<uint32_t>(v)); }

    DeviceInfo device_info() const { return DeviceInfo::FromBytes(device_info_bytes()); }
    void set_device_info(const DeviceInfo& info);
    std::span<const uint8_t> device_info_bytes() const { return Slice(kDeviceInfoOffset, DeviceInfo::kSize); }
    std::span<uint8_t> mutable_device_info_bytes() {
        return MutableSlice(kDeviceInfoOffset, DeviceInfo::kSize);
    }
};

using ap_info_stu = ApInfo;

static_assert(sizeof(ApInfo) == 768);
static_assert(ApInfo::kDeviceInfoOffset + DeviceInfo::kSize == ApInfo::kSize);

} // namespace rf
