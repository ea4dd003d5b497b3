#pragma once

#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// The payload of Upgrade (268 bytes): the firmware file the PC's file server offers, and its size.
class UpgradeFileInfo : public FixedRecord<268> {
public:
    static constexpr size_t kFileNameOffset = 0;
    static constexpr size_t kFileNameWidth = 260;
    static constexpr size_t kFileNameLengthOffset = 260;
    static constexpr size_t kFileSizeOffset = 264;
    // The name stays zero-terminated inside its field.
    static constexpr size_t kMaxFileName = kFileNameWidth - 1;

    static UpgradeFileInfo FromBytes(std::span<const uint8_t> bytes);

    // min(name length, 259) bytes of the field.
    std::string file_name() const;
    // Cuts to 259 bytes and writes the length.
    void set_file_name(std::string_view name);
    uint32_t file_name_length() const { return U32(kFileNameLengthOffset); }
    uint32_t file_size() const { return U32(kFileSizeOffset); }
    void set_file_size(uint32_t v) { SetU32(kFileSizeOffset, v); }
};

static_assert(sizeof(UpgradeFileInfo) == 268);

} // namespace rf
