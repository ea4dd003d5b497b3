#pragma once

#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// One access point found by a scan (44 bytes).
class ScanEntry : public FixedRecord<44> {
public:
    static constexpr size_t kMacOffset = 0;
    static constexpr size_t kSignalOffset = 6;
    static constexpr size_t kChannelOffset = 7;
    static constexpr size_t kSecureModeOffset = 8;
    static constexpr size_t kSsidOffset = 9;
    static constexpr size_t kSsidWidth = 32;
    static constexpr size_t kSsidLengthOffset = 41;
    static constexpr size_t kExchannelOffset = 42;
    static constexpr size_t kBandwidthOffset = 43;

    static ScanEntry FromBytes(std::span<const uint8_t> bytes);

    MacAddress mac() const { return Mac(kMacOffset); }
    void set_mac(const MacAddress& v) { SetMac(kMacOffset, v); }
    int8_t signal() const { return static_cast<int8_t>(U8(kSignalOffset)); }
    void set_signal(int8_t v) { SetU8(kSignalOffset, static_cast<uint8_t>(v)); }
    uint8_t channel() const { return U8(kChannelOffset); }
    void set_channel(uint8_t v) { SetU8(kChannelOffset, v); }
    uint8_t secure_mode() const { return U8(kSecureModeOffset); }
    void set_secure_mode(uint8_t v) { SetU8(kSecureModeOffset, v); }
    std::string ssid() const { return Text(kSsidOffset, kSsidWidth, kSsidLengthOffset); }
    void set_ssid(std::string_view v) { SetText(kSsidOffset, kSsidWidth, kSsidLengthOffset, v); }
    uint8_t ssid_length() const { return U8(kSsidLengthOffset); }
    uint8_t exchannel() const { return U8(kExchannelOffset); }
    void set_exchannel(uint8_t v) { SetU8(kExchannelOffset, v); }
    uint8_t bandwidth() const { return U8(kBandwidthOffset); }
    void set_bandwidth(uint8_t v) { SetU8(kBandwidthOffset, v); }
};

static_assert(sizeof(ScanEntry) == 44);

} // namespace rf
