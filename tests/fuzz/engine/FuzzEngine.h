#pragma once

#include "support/EngineHarness.h"

#include <cstddef>
#include <cstdint>

namespace rf::fuzz {

// One engine for the whole run, sending into a recorder, with one adapter in the senders' subnet.
inline test::EngineHarness& Harness() {
    static test::EngineHarness harness({test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}})});
    return harness;
}

// The input as a datagram from a device; inputs also choose the sender address's last octet.
inline ReceivedPacket PacketOf(const std::uint8_t* data, size_t size) {
    const std::string ip = "192.168.1." + std::to_string(size == 0 ? 1 : data[size - 1]);
    return ReceivedPacket::Make(*ParseIpv4(ip), 9788, std::span(data, size));
}

// Keeps the online list, the store and the recorder from growing without bound across inputs.
inline void Trim(test::EngineHarness& h) {
    static unsigned runs = 0;
    if (++runs % 256 == 0) {
        h.engine.ForgetAnnounced();
        for (int i = 0; i < 4; ++i) {
            h.engine.AgeOnlineList();
        }
        h.engine.RetransmitPass();
        h.sender->Clear();
    }
}

} // namespace rf::fuzz
