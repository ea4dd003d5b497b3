#pragma once

// Access points as a device's scan answer brings them, for the bridge wizard's tests and its pictures
// (Qt-free).
#include "protocol/ScanReply.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rf::test {

struct SampleAp {
    MacAddress mac{};
    int8_t signal = 0;
    uint8_t secureMode = 0;
    uint8_t channel = 0;
    std::string ssid;
};

// The payload of one scan answer (a single packet) that lists the access points in the order given.
inline std::vector<uint8_t> ScanAnswerOf(const std::vector<SampleAp>& aps) {
    ScanReply reply;
    reply.packet_count = 1;
    for (const SampleAp& sample : aps) {
        ScanEntry ap;
        ap.set_mac(sample.mac);
        ap.set_signal(sample.signal);
        ap.set_secure_mode(sample.secureMode);
        ap.set_channel(sample.channel);
        ap.set_ssid(sample.ssid);
        reply.entries.push_back(ap);
    }
    std::vector<uint8_t> payload(ScanReply::kMaxSize);
    payload.resize(reply.Encode(payload));
    return payload;
}

} // namespace rf::test
