#pragma once

#include "protocol/OnlineEntry.h"
#include "protocol/PendingRequest.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rf {

// Where an answer may come from. Anyone on the segment can send a datagram naming any MAC, so a reply is
// taken only from an address the device is known to have.

// The addresses an answer to a request of this type, sent to sentTo with this payload, may come from:
// sentTo, and for SetIp and SetBridge also the address the payload tells the device to take.
std::vector<std::string> AnswerAddresses(int type, const std::string& sentTo,
                                         std::span<const std::uint8_t> payload);
// Whether a reply from senderIp may end this request.
bool MayAnswer(const PendingRequest& request, const std::string& senderIp);
// Whether senderIp is the address this online device has, or the one a SetIp is moving it to.
bool IsDeviceAddress(const OnlineEntry& entry, const std::string& senderIp);

} // namespace rf
