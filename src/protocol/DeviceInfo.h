#pragma once

#include "protocol/FixedRecord.h"
#include "protocol/SecurityBlock.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// The 744-byte record a device reports in its GetInfo reply. Configuration requests carry slices of it
// (the settings blocks): a page edits a copy of the stored record and sends the slice it changed.
class DeviceInfo : public FixedRecord<744> {
public:
    static constexpr size_t kWorkModeOffset = 0;
    static constexpr size_t kModeBtnStatusOffset = 1;
    static constexpr size_t kUpTimeOffset = 4;
    static constexpr size_t kIpModeOffset = 8;
    static constexpr size_t kIpOffset = 9;
    static constexpr size_t kIpMaskOffset = 13;
    static constexpr size_t kIpGatewayOffset = 17;
    static constexpr size_t kIpDns1Offset = 21;
    static constexpr size_t kIpDns2Offset = 25;
    static constexpr size_t kIpApplyFlagOffset = 29;
    static constexpr size_t kApNameOffset = 30;
    static constexpr size_t kApNameWidth = 32;
    static constexpr size_t kApNameLengthOffset = 62;
    static constexpr size_t kVersionOffset = 63;
    static constexpr size_t kVersionWidth = 32;
    static constexpr size_t kVersionLengthOffset = 95;
    static constexpr size_t kRestartEnOffset = 96;
    static constexpr size_t kRestartTypeOffset = 97;
    static constexpr size_t kRestartTimeOffset = 98;
    static constexpr size_t kRfCountOffset = 100;
    static constexpr size_t kRfEnOffset = 101;
    static constexpr size_t kRfTypeOffset = 102;
    static constexpr size_t kCountryCodeOffset = 103;
    static constexpr size_t kNetworkModeOffset = 104;
    static constexpr size_t kBandwidthOffset = 105;
    static constexpr size_t kChannelOffset = 106;
    static constexpr size_t kExpandChannelOffset = 107;
    static constexpr size_t kTxPowerOffset = 108;
    static constexpr size_t kTxPowerMinOffset = 109;
    static constexpr size_t kTxPowerMaxOffset = 110;
    static constexpr size_t kSsidRfTypeOffset = 122;
    static constexpr size_t kSsidIdOffset = 123;
    static constexpr size_t kSsidHideOffset = 124;
    static constexpr size_t kSsidMacOffset = 125;
    static constexpr size_t kSsidOffset = 131;
    static constexpr size_t kSsidWidth = 32;
    static constexpr size_t kSsidLengthOffset = 163;
    static constexpr size_t kSecurityOffset = 164;
    static constexpr size_t kSsidCountOffset = 426;
    static constexpr size_t kBridgeWorkModeOffset = 428;
    static constexpr size_t kBridgeMacOffset = 429;
    static constexpr size_t kBridgeChannelOffset = 435;
    static constexpr size_t kBridgeSsidOffset = 436;
    static constexpr size_t kBridgeSsidWidth = 32;
    static constexpr size_t kBridgeSsidLengthOffset = 468;
    static constexpr size_t kBridgeSecurityOffset = 470;
    static constexpr size_t kVlanEnOffset = 732;
    static constexpr size_t kVlanIdOffset = 734;
    static constexpr size_t kVlanIdWlanOffset = 736;
    static constexpr size_t kVlanIdLanOffset = 738;
    static constexpr size_t kVlanApplyFlagOffset = 740;
    static constexpr size_t kBridgeTransparentOffset = 742;

    // The settings blocks: where each starts inside the record and how long it is.
    static constexpr size_t kIpSettingsOffset = 8;
    static constexpr size_t kIpSettingsSize = 22;
    static constexpr size_t kDeviceNameOffset = 30;
    static constexpr size_t kDeviceNameSize = 33;
    static constexpr size_t kRebootScheduleOffset = 96;
    static constexpr size_t kRebootScheduleSize = 4;
    static constexpr size_t kRadioSettingsOffset = 100;
    static constexpr size_t kRadioSettingsSize = 328;
    static constexpr size_t kBridgeSettingsOffset = 428;
    static constexpr size_t kBridgeSettingsSize = 304;
    static constexpr size_t kVlanSettingsOffset = 732;
    static constexpr size_t kVlanSettingsSize = 10;

    // The shortest reply the PC stores: it reaches the end of the address, name and version block.
    static constexpr size_t kMinSize = kVersionLengthOffset + 1;

    // A reply shorter than 744 bytes reads as if the missing bytes were zero; bytes beyond 744 are ignored.
    static DeviceInfo FromBytes(std::span<const uint8_t> payload);
    // How many leading bytes of a reply of receivedSize bytes hold whole blocks (the part up to the
    // version, then each settings block and the transparent-bridge byte); 0 below kMinSize.
    static size_t CarriedSize(size_t receivedSize);
    // This record with the whole blocks a reply of receivedSize bytes carried taken from received: what a
    // short reply does not carry keeps the value held here.
    DeviceInfo WithCarried(const DeviceInfo& received, size_t receivedSize) const;

    uint8_t work_mode() const { return U8(kWorkModeOffset); }
    void set_work_mode(uint8_t v) { SetU8(kWorkModeOffset, v); }
    uint8_t mode_btn_status() const { return U8(kModeBtnStatusOffset); }
    void set_mode_btn_status(uint8_t v) { SetU8(kModeBtnStatusOffset, v); }
    uint32_t up_time() const { return U32(kUpTimeOffset); }
    void set_up_time(uint32_t v) { SetU32(kUpTimeOffset, v); }

    uint8_t ip_mode() const { return U8(kIpModeOffset); }
    void set_ip_mode(uint8_t v) { SetU8(kIpModeOffset, v); }
    Ipv4Bytes ip() const { return Ip(kIpOffset); }
    void set_ip(const Ipv4Bytes& v) { SetIp(kIpOffset, v); }
    Ipv4Bytes ip_mask() const { return Ip(kIpMaskOffset); }
    void set_ip_mask(const Ipv4Bytes& v) { SetIp(kIpMaskOffset, v); }
    Ipv4Bytes ip_gateway() const { return Ip(kIpGatewayOffset); }
    void set_ip_gateway(const Ipv4Bytes& v) { SetIp(kIpGatewayOffset, v); }
    Ipv4Bytes ip_dns1() const { return Ip(kIpDns1Offset); }
    void set_ip_dns1(const Ipv4Bytes& v) { SetIp(kIpDns1Offset, v); }
    Ipv4Bytes ip_dns2() const { return Ip(kIpDns2Offset); }
    void set_ip_dns2(const Ipv4Bytes& v) { SetIp(kIpDns2Offset, v); }
    // The ip_num column: the four address bytes in wire order read as a little-endian number.
    uint32_t ip_num() const { return U32(kIpOffset); }
    uint8_t ip_apply_flag() const { return U8(kIpApplyFlagOffset); }
    void set_ip_apply_flag(uint8_t v) { SetU8(kIpApplyFlagOffset, v); }

    std::string ap_name() const { return Text(kApNameOffset, kApNameWidth, kApNameLengthOffset); }
    void set_ap_name(std::string_view v) { SetText(kApNameOffset, kApNameWidth, kApNameLengthOffset, v); }
    uint8_t ap_name_length() const { return U8(kApNameLengthOffset); }
    std::string version() const { return Text(kVersionOffset, kVersionWidth, kVersionLengthOffset); }
    void set_version(std::string_view v) { SetText(kVersionOffset, kVersionWidth, kVersionLengthOffset, v); }

    uint8_t restart_en() const { return U8(kRestartEnOffset); }
    void set_restart_en(uint8_t v) { SetU8(kRestartEnOffset, v); }
    uint8_t restart_type() const { return U8(kRestartTypeOffset); }
    void set_restart_type(uint8_t v) { SetU8(kRestartTypeOffset, v); }
    uint16_t restart_time() const { return U16(kRestartTimeOffset); } // minutes after midnight
    void set_restart_time(uint16_t v) { SetU16(kRestartTimeOffset, v); }

    uint8_t rf_count() const { return U8(kRfCountOffset); }
    void set_rf_count(uint8_t v) { SetU8(kRfCountOffset, v); }
    uint8_t rf_en() const { return U8(kRfEnOffset); }
    void set_rf_en(uint8_t v) { SetU8(kRfEnOffset, v); }
    uint8_t rf_type() const { return U8(kRfTypeOffset); }
    void set_rf_type(uint8_t v) { SetU8(kRfTypeOffset, v); }
    uint8_t country_code() const { return U8(kCountryCodeOffset); }
    void set_country_code(uint8_t v) { SetU8(kCountryCodeOffset, v); }
    uint8_t network_mode() const { return U8(kNetworkModeOffset); }
    void set_network_mode(uint8_t v) { SetU8(kNetworkModeOffset, v); }
    uint8_t bandwidth() const { return U8(kBandwidthOffset); }
    void set_bandwidth(uint8_t v) { SetU8(kBandwidthOffset, v); }
    uint8_t channel() const { return U8(kChannelOffset); }
    void set_channel(uint8_t v) { SetU8(kChannelOffset, v); }
    uint8_t expand_channel() const { return U8(kExpandChannelOffset); }
    void set_expand_channel(uint8_t v) { SetU8(kExpandChannelOffset, v); }
    uint8_t tx_power() const { return U8(kTxPowerOffset); }
    void set_tx_power(uint8_t v) { SetU8(kTxPowerOffset, v); }
    uint8_t tx_power_min() const { return U8(kTxPowerMinOffset); }
    void set_tx_power_min(uint8_t v) { SetU8(kTxPowerMinOffset, v); }
    uint8_t tx_power_max() const { return U8(kTxPowerMaxOffset); }
    void set_tx_power_max(uint8_t v) { SetU8(kTxPowerMaxOffset, v); }
    uint8_t ssid_rf_type() const { return U8(kSsidRfTypeOffset); }
    void set_ssid_rf_type(uint8_t v) { SetU8(kSsidRfTypeOffset, v); }
    uint8_t ssid_id() const { return U8(kSsidIdOffset); }
    void set_ssid_id(uint8_t v) { SetU8(kSsidIdOffset, v); }
    uint8_t ssid_hide() const { return U8(kSsidHideOffset); }
    void set_ssid_hide(uint8_t v) { SetU8(kSsidHideOffset, v); }
    MacAddress ssid_mac() const { return Mac(kSsidMacOffset); }
    void set_ssid_mac(const MacAddress& v) { SetMac(kSsidMacOffset, v); }
    std::string ssid() const { return Text(kSsidOffset, kSsidWidth, kSsidLengthOffset); }
    void set_ssid(std::string_view v) { SetText(kSsidOffset, kSsidWidth, kSsidLengthOffset, v); }
    uint8_t ssid_length() const { return U8(kSsidLengthOffset); }
    SecurityBlock security() const {
        return SecurityBlock::FromBytes(Slice(kSecurityOffset, SecurityBlock::kSize));
    }
    void set_security(const SecurityBlock& v);
    uint8_t ssid_count() const { return U8(kSsidCountOffset); }
    void set_ssid_count(uint8_t v) { SetU8(kSsidCountOffset, v); }

    uint8_t bridge_work_mode() const { return U8(kBridgeWorkModeOffset); }
    void set_bridge_work_mode(uint8_t v) { SetU8(kBridgeWorkModeOffset, v); }
    MacAddress bridge_mac() const { return Mac(kBridgeMacOffset); }
    void set_bridge_mac(const MacAddress& v) { SetMac(kBridgeMacOffset, v); }
    uint8_t bridge_channel() const { return U8(kBridgeChannelOffset); }
    void set_bridge_channel(uint8_t v) { SetU8(kBridgeChannelOffset, v); }
    std::string bridge_ssid() const {
        return Text(kBridgeSsidOffset, kBridgeSsidWidth, kBridgeSsidLengthOffset);
    }
    void set_bridge_ssid(std::string_view v) {
        SetText(kBridgeSsidOffset, kBridgeSsidWidth, kBridgeSsidLengthOffset, v);
    }
    uint8_t bridge_ssid_length() const { return U8(kBridgeSsidLengthOffset); }
    SecurityBlock bridge_security() const {
        return SecurityBlock::FromBytes(Slice(kBridgeSecurityOffset, SecurityBlock::kSize));
    }
    void set_bridge_security(const SecurityBlock& v);

    uint8_t vlan_en() const { return U8(kVlanEnOffset); }
    void set_vlan_en(uint8_t v) { SetU8(kVlanEnOffset, v); }
    uint16_t vlan_id() const { return U16(kVlanIdOffset); }
    void set_vlan_id(uint16_t v) { SetU16(kVlanIdOffset, v); }
    uint16_t vlan_id_wlan() const { return U16(kVlanIdWlanOffset); }
    void set_vlan_id_wlan(uint16_t v) { SetU16(kVlanIdWlanOffset, v); }
    uint16_t vlan_id_lan() const { return U16(kVlanIdLanOffset); }
    void set_vlan_id_lan(uint16_t v) { SetU16(kVlanIdLanOffset, v); }
    uint8_t vlan_apply_flag() const { return U8(kVlanApplyFlagOffset); }
    void set_vlan_apply_flag(uint8_t v) { SetU8(kVlanApplyFlagOffset, v); }

    uint8_t bridge_transparent() const { return U8(kBridgeTransparentOffset); }
    void set_bridge_transparent(uint8_t v) { SetU8(kBridgeTransparentOffset, v); }

    // The settings blocks as slices of this record, read-only and writable.
    std::span<const uint8_t> ip_settings_block() const { return Slice(kIpSettingsOffset, kIpSettingsSize); }
    std::span<uint8_t> mutable_ip_settings_block() {
        return MutableSlice(kIpSettingsOffset, kIpSettingsSize);
    }
    std::span<const uint8_t> device_name_block() const { return Slice(kDeviceNameOffset, kDeviceNameSize); }
    std::span<uint8_t> mutable_device_name_block() {
        return MutableSlice(kDeviceNameOffset, kDeviceNameSize);
    }
    std::span<const uint8_t> reboot_schedule_block() const {
        return Slice(kRebootScheduleOffset, kRebootScheduleSize);
    }
    std::span<uint8_t> mutable_reboot_schedule_block() {
        return MutableSlice(kRebootScheduleOffset, kRebootScheduleSize);
    }
    std::span<const uint8_t> radio_settings_block() const {
        return Slice(kRadioSettingsOffset, kRadioSettingsSize);
    }
    std::span<uint8_t> mutable_radio_settings_block() {
        return MutableSlice(kRadioSettingsOffset, kRadioSettingsSize);
    }
    std::span<const uint8_t> security_block() const { return Slice(kSecurityOffset, SecurityBlock::kSize); }
    std::span<uint8_t> mutable_security_block() {
        return MutableSlice(kSecurityOffset, SecurityBlock::kSize);
    }
    std::span<const uint8_t> bridge_settings_block() const {
        return Slice(kBridgeSettingsOffset, kBridgeSettingsSize);
    }
    std::span<uint8_t> mutable_bridge_settings_block() {
        return MutableSlice(kBridgeSettingsOffset, kBridgeSettingsSize);
    }
    std::span<const uint8_t> bridge_security_block() const {
        return Slice(kBridgeSecurityOffset, SecurityBlock::kSize);
    }
    std::span<uint8_t> mutable_bridge_security_block() {
        return MutableSlice(kBridgeSecurityOffset, SecurityBlock::kSize);
    }
    std::span<const uint8_t> vlan_settings_block() const {
        return Slice(kVlanSettingsOffset, kVlanSettingsSize);
    }
    std::span<uint8_t> mutable_vlan_settings_block() {
        return MutableSlice(kVlanSettingsOffset, kVlanSettingsSize);
    }

    // Received names and SSIDs (ap_name, ssid, bridge_ssid) through DeviceTextToLocal, each length byte
    // set to the converted length.
    void ConvertTextsToLocal();
};

static_assert(sizeof(DeviceInfo) == 744);
static_assert(DeviceInfo::kIpSettingsOffset + DeviceInfo::kIpSettingsSize == DeviceInfo::kDeviceNameOffset);
static_assert(DeviceInfo::kRadioSettingsOffset + DeviceInfo::kRadioSettingsSize ==
              DeviceInfo::kBridgeSettingsOffset);
static_assert(DeviceInfo::kBridgeSecurityOffset + SecurityBlock::kSize == DeviceInfo::kVlanSettingsOffset);
static_assert(DeviceInfo::kBridgeSettingsOffset + DeviceInfo::kBridgeSettingsSize ==
              DeviceInfo::kVlanSettingsOffset);

} // namespace rf
