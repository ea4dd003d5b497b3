#pragma once

#include "protocol/AnnounceRecord.h"
#include "support/EngineHarness.h"

namespace rf::test {

// A device's answer to a search, from ip: it puts the device into the engine's online list.
inline ReceivedPacket AnnounceFrom(const std::string& ip, const std::string& mac) {
    AnnounceRecord record;
    record.set_version("v1.0");
    record.set_work_mode(1);
    record.set_ap_name("radio");
    record.set_ssid("field");
    return FromDevice(ip, MessageType::Search, mac, record.bytes(), 257, 9785);
}

} // namespace rf::test
