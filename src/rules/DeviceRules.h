#pragma once

#include "protocol/Wire.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace rf {

class CSqlManagement;

// The rules every page applies to what the user types for a device: names and IP settings. Texts are
// local (UTF-8) texts as typed; the failure results are the language keys of the messages to show.

// The strict rule takes capitals as well as small letters; the message's text lists the marks it takes.
inline constexpr const char* kStrictNameMessage =
    "Device name maximum allowed 32 bytes, only support combination of Chinese, letters (capital or small), "
    "digits and punctuation marks, no spaces";
inline constexpr const char* kLooseNameMessage =
    "Device name maximum allowed 32 bytes, only support combination of Chinese, ASCII characters";
inline constexpr const char* kInvalidIpMessage = "The ip address is invalid!";
inline constexpr const char* kInvalidMaskMessage = "The subnet mask is invalid!";
inline constexpr const char* kInvalidGatewayMessage = "The gateway address is invalid!";
inline constexpr const char* kIpIsGatewayMessage = "The ip address and gateway address cannot be the same!";
inline constexpr const char* kGatewaySubnetMessage =
    "Ip address and gateway address is not in the same subnet!";
inline constexpr const char* kInvalidDns1Message = "The primary DNS Server is invalid!";
inline constexpr const char* kInvalidDns2Message = "The secondary DNS Server is invalid!";
inline constexpr const char* kAddressInUseMessage = "The ip address is already in use, please respecify!";

// Size of the name on the device: one byte per character, three per CJK ideograph (U+4E00..U+9FA5).
size_t NameByteLength(std::string_view name);

// Letters, digits, CJK ideographs and ! # $ % & ( ) * + - . / < = > ? @ ^ _ ~ (no space); at most 32 bytes.
bool IsValidNameStrict(std::string_view name);
// ASCII characters other than NUL and CJK ideographs; at most 32 bytes.
bool IsValidNameLoose(std::string_view name);
// The rule for a model: models 4 and 261 take strict names, all others loose ones.
bool IsValidName(std::string_view name, int model);
// The message key of the rule IsValidName applies for a model.
const char* NameRuleMessage(int model);

// The address as a number with the first octet most significant, for comparing addresses.
uint32_t IpOrder(const Ipv4Bytes& ip);
// Four decimal numbers of 0-255 joined by dots.
bool IsDottedAddress(std::string_view text);
// A dotted address a host may use: not 0, 127 or 224 and above in the first octet, and neither the network
// nor the broadcast address of its subnet (see IsSubnetHost). Empty and "0.0.0.0" are valid only when the
// field is optional.
bool IsValidHostAddress(std::string_view text, bool optional, std::string_view mask = {});
// The host part of ip under mask is neither all zeros (the network) nor all ones (the broadcast); a /31
// link has neither. An address whose mask is not known or not valid (a DNS server's, say) is judged as on
// a /24: its last octet may be neither 0 nor 255.
bool IsSubnetHost(const Ipv4Bytes& ip, const Ipv4Bytes& mask);
// A dotted mask of leading ones and trailing zeros (255.255.254.0), other than 255.255.255.255 and
// 0.0.0.0; masks with holes (255.0.255.0) are refused.
bool IsValidMask(std::string_view text);
bool IsValidMask(const Ipv4Bytes& mask);
// Both addresses fall in the same subnet of mask; false when any of the three is not a dotted address.
bool IsSameSubnet(std::string_view a, std::string_view b, std::string_view mask);
// Some stored device has exactly this IP text.
bool IsAddressInUse(CSqlManagement& store, std::string_view ipText);

// The IP settings of one device, checked in the order the IP forms check them; the address and the gateway
// are hosts of the subnet of mask. Empty when they are valid, otherwise the message key of the first
// failure.
std::string ValidateIpSettings(std::string_view ip, std::string_view mask, std::string_view gateway,
                               std::string_view dns1, std::string_view dns2);

} // namespace rf
