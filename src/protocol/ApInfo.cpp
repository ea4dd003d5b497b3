#include "protocol/ApInfo.h"

#include <algorithm>

namespace rf {

ApInfo ApInfo::FromBytes(std::span<const uint8_t> bytes) {
    ApInfo record;
    record.Assign(bytes);
    return record;
}

ApInfo ApInfo::Make(std::string_view macText, uint16_t apType, int32_t apStatus, const DeviceInfo& info) {
    ApInfo record;
    record.set_mac(macText);
    record.set_ap_type(apType);
    record.set_ap_status(apStatus);
    record.set_device_info(info);
    return record;
}

std::string ApInfo::mac() const {
    const auto field = Slice(kMacOffset, kMacWidth - 1);
    const auto end = std::ranges::find(field, uint8_t{0});
    return std::string(field.begin(), end);
}

void ApInfo::set_mac(std::string_view macText) {
    const auto cut = macText.substr(0, kMacWidth - 1);
    auto field = MutableSlice(kMacOffset, kMacWidth);
    std::ranges::fill(field, uint8_t{0});
    std::ranges::transform(cut, field.begin(), [](char c) { return static_cast<uint8_t>(c); });
}

void ApInfo::set_device_info(const DeviceInfo& info) {
    std::ranges::copy(info.bytes(), mutable_device_info_bytes().begin());
}

} // namespace rf
