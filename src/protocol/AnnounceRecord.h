#pragma once

#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// A device's answer to a search (108 bytes). A heartbeat carries version and up_time at the same offsets.
class AnnounceRecord : public FixedRecord<108> {
public:
    static constexpr size_t kVersionOffset = 0;
    static constexpr size_t kVersionWidth = 32;
    static constexpr size_t kVersionLengthOffset = 32;
    static constexpr size_t kWorkModeOffset = 33;
    static constexpr size_t kModeBtnStatusOffset = 34;
    static constexpr size_t kReservedOffset = 35;
    static constexpr size_t kUpTimeOffset = 36;
    static constexpr size_t kApNameOffset = 40;
    static constexpr size_t kApNameWidth = 32;
    static constexpr size_t kApNameLengthOffset = 72;
    static constexpr size_t kSsidOffset = 73;
    static constexpr size_t kSsidWidth = 32;
    static constexpr size_t kSsidLengthOffset = 105;
    static constexpr size_t kChannelOffset = 106;
    static constexpr size_t kBridgeTransparentOffset = 107;
    // An answer this short or shorter carries only the version and its length byte; a shorter one is not
    // taken at all.
    static constexpr size_t kVersionOnlySize = 33;
    // A heartbeat carries the version and the up time.
    static constexpr size_t kHeartbeatMinSize = kUpTimeOffset + 4;

    static AnnounceRecord FromBytes(std::span<const uint8_t> payload);

    std::string version() const { return Text(kVersionOffset, kVersionWidth, kVersionLengthOffset); }
    void set_version(std::string_view v) { SetText(kVersionOffset, kVersionWidth, kVersionLengthOffset, v); }
    uint8_t version_length() const { return U8(kVersionLengthOffset); }
    uint8_t work_mode() const { return U8(kWorkModeOffset); }
    void set_work_mode(uint8_t v) { SetU8(kWorkModeOffset, v); }
    uint8_t mode_btn_status() const { return U8(kModeBtnStatusOffset); }
    void set_mode_btn_status(uint8_t v) { SetU8(kModeBtnStatusOffset, v); }
    uint32_t up_time() const { return U32(kUpTimeOffset); }
    void set_up_time(uint32_t v) { SetU32(kUpTimeOffset, v); }
    std::string ap_name() const { return Text(kApNameOffset, kApNameWidth, kApNameLengthOffset); }
    void set_ap_name(std::string_view v) { SetText(kApNameOffset, kApNameWidth, kApNameLengthOffset, v); }
    uint8_t ap_name_length() const { return U8(kApNameLengthOffset); }
    std::string ssid() const { return Text(kSsidOffset, kSsidWidth, kSsidLengthOffset); }
    void set_ssid(std::string_view v) { SetText(kSsidOffset, kSsidWidth, kSsidLengthOffset, v); }
    uint8_t ssid_length() const { return U8(kSsidLengthOffset); }
    uint8_t channel() const { return U8(kChannelOffset); }
    void set_channel(uint8_t v) { SetU8(kChannelOffset, v); }
    uint8_t bridge_transparent() const { return U8(kBridgeTransparentOffset); }
    void set_bridge_transparent(uint8_t v) { SetU8(kBridgeTransparentOffset, v); }
};

static_assert(sizeof(AnnounceRecord) == 108);

} // namespace rf
