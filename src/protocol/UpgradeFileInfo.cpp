#include "protocol/UpgradeFileInfo.h"

#include <algorithm>

namespace rf {

UpgradeFileInfo UpgradeFileInfo::FromBytes(std::span<const uint8_t> bytes) {
    UpgradeFileInfo info;
    info.Assign(bytes);
    return info;
}

std::string UpgradeFileInfo::file_name() const {
    const size_t length = std::min<size_t>(file_name_length(), kMaxFileName);
    const auto field = Slice(kFileNameOffset, length);
    return std::string(field.begin(), field.end());
}

void UpgradeFileInfo::set_file_name(std::string_view name) {
    const auto cut = name.substr(0, kMaxFileName);
    auto field = MutableSlice(kFileNameOffset, kFileNameWidth);
    std::ranges::fill(field, uint8_t{0});
    std::ranges::transform(cut, field.begin(), [](char c) { return static_cast<uint8_t>(c); });
    SetU32(kFileNameLengthOffset, static_cast<uint32_t>(cut.size()));
}

} // namespace rf
