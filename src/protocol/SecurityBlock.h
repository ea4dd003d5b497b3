#pragma once

#include "protocol/FixedRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// Security settings of a wireless link (262 bytes). DeviceInfo holds two: the device's own network at 164
// and the bridge link at 470.
class SecurityBlock : public FixedRecord<262> {
public:
    static constexpr size_t kSecureModeOffset = 0;
    static constexpr size_t kWpapskAuthTypeOffset = 1;
    static constexpr size_t kWpapskKeyValueOffset = 2;
    static constexpr size_t kWpapskKeyValueWidth = 64;
    static constexpr size_t kWpapskKeyValueLengthOffset = 66;
    static constexpr size_t kWpapskKeyTimeOffset = 67;
    static constexpr size_t kWepAuthTypeOffset = 71;
    static constexpr size_t kWepKeyIndexOffset = 72;
    // WEP key i: type at kWepKeyTypeOffset + i * kWepKeyStride, then the 26-byte text and its length.
    static constexpr size_t kWepKeyCount = 4;
    static constexpr size_t kWepKeyTypeOffset = 73;
    static constexpr size_t kWepKeyStride = 28;
    static constexpr size_t kWepKeyValueWidth = 26;
    static constexpr size_t kReservedOffset = 185;
    static constexpr size_t kWpaRadiusIpOffset = 186;
    static constexpr size_t kWpaRadiusPortOffset = 190;
    static constexpr size_t kWpaAuthTypeOffset = 192;
    static constexpr size_t kWpaKeyOffset = 193;
    static constexpr size_t kWpaKeyWidth = 64;
    static constexpr size_t kWpaKeyLengthOffset = 257;
    static constexpr size_t kWpaKeyTimeOffset = 258;

    static SecurityBlock FromBytes(std::span<const uint8_t> bytes);

    uint8_t secure_mode() const { return U8(kSecureModeOffset); }
    void set_secure_mode(uint8_t v) { SetU8(kSecureModeOffset, v); }
    uint8_t wpapsk_auth_type() const { return U8(kWpapskAuthTypeOffset); }
    void set_wpapsk_auth_type(uint8_t v) { SetU8(kWpapskAuthTypeOffset, v); }
    std::string wpapsk_key_value() const {
        return Text(kWpapskKeyValueOffset, kWpapskKeyValueWidth, kWpapskKeyValueLengthOffset);
    }
    void set_wpapsk_key_value(std::string_view v) {
        SetText(kWpapskKeyValueOffset, kWpapskKeyValueWidth, kWpapskKeyValueLengthOffset, v);
    }
    uint32_t wpapsk_key_time() const { return U32(kWpapskKeyTimeOffset); }
    void set_wpapsk_key_time(uint32_t v) { SetU32(kWpapskKeyTimeOffset, v); }
    uint8_t wep_auth_type() const { return U8(kWepAuthTypeOffset); }
    void set_wep_auth_type(uint8_t v) { SetU8(kWepAuthTypeOffset, v); }
    uint8_t wep_key_index() const { return U8(kWepKeyIndexOffset); }
    void set_wep_key_index(uint8_t v) { SetU8(kWepKeyIndexOffset, v); }

    // index 0..3 (wep_key_type0..3, wep_key_value0..3); other indexes read 0 / "" and write nothing.
    uint8_t wep_key_type(size_t index) const;
    void set_wep_key_type(size_t index, uint8_t v);
    std::string wep_key_value(size_t index) const;
    void set_wep_key_value(size_t index, std::string_view v);

    Ipv4Bytes wpa_radius_ip() const { return Ip(kWpaRadiusIpOffset); }
    void set_wpa_radius_ip(const Ipv4Bytes& v) { SetIp(kWpaRadiusIpOffset, v); }
    uint16_t wpa_radius_port() const { return U16(kWpaRadiusPortOffset); }
    void set_wpa_radius_port(uint16_t v) { SetU16(kWpaRadiusPortOffset, v); }
    uint8_t wpa_auth_type() const { return U8(kWpaAuthTypeOffset); }
    void set_wpa_auth_type(uint8_t v) { SetU8(kWpaAuthTypeOffset, v); }
    std::string wpa_key() const { return Text(kWpaKeyOffset, kWpaKeyWidth, kWpaKeyLengthOffset); }
    void set_wpa_key(std::string_view v) { SetText(kWpaKeyOffset, kWpaKeyWidth, kWpaKeyLengthOffset, v); }
    uint32_t wpa_key_time() const { return U32(kWpaKeyTimeOffset); }
    void set_wpa_key_time(uint32_t v) { SetU32(kWpaKeyTimeOffset, v); }

    static constexpr size_t WepKeyTypeOffset(size_t index) {
        return kWepKeyTypeOffset + index * kWepKeyStride;
    }
    static constexpr size_t WepKeyValueOffset(size_t index) { return WepKeyTypeOffset(index) + 1; }
    static constexpr size_t WepKeyLengthOffset(size_t index) {
        return WepKeyValueOffset(index) + kWepKeyValueWidth;
    }
};

static_assert(sizeof(SecurityBlock) == 262);
static_assert(SecurityBlock::WepKeyLengthOffset(3) == 184 && SecurityBlock::WepKeyTypeOffset(1) == 101);

} // namespace rf
