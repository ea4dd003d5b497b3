#pragma once

#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// The payload of SetName (33 bytes): the name in device encoding, zero-padded, and its length.
class DeviceNameBlock : public FixedRecord<33> {
public:
    static constexpr size_t kApNameOffset = 0;
    static constexpr size_t kApNameWidth = 32;
    static constexpr size_t kApNameLengthOffset = 32;

    static DeviceNameBlock FromBytes(std::span<const uint8_t> bytes);
    // The name as the user typed it: converted with LocalTextToDevice, then cut to 32 bytes.
    static DeviceNameBlock FromLocalName(std::string_view localName);

    std::string ap_name() const { return Text(kApNameOffset, kApNameWidth, kApNameLengthOffset); }
    // Bytes already in device encoding, cut to 32.
    void set_ap_name(std::string_view v) { SetText(kApNameOffset, kApNameWidth, kApNameLengthOffset, v); }
    uint8_t ap_name_length() const { return U8(kApNameLengthOffset); }
};

static_assert(sizeof(DeviceNameBlock) == 33);

} // namespace rf
