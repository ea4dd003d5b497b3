#pragma once

#include <cstdint>
#include <string>

namespace rf {

// One device in the engine's online list, keyed by its MAC text.
struct OnlineEntry {
    enum State : std::uint8_t { Announced = 1, Detailed = 2 };
    static constexpr std::uint8_t kFreshTtl = 3;

    std::string ip;
    std::string pendingIp; // the address a SetIp is moving the device to, or empty
    std::string mac;
    std::uint16_t model = 0;
    std::uint8_t state = Announced;
    std::uint8_t ttl = kFreshTtl;
    std::uint32_t up_time = 0;
    std::string version; // as the device sent it (at most 32 bytes)
    std::uint8_t version_length = 0;
    std::uint8_t work_mode = 0;
    std::uint8_t mode_btn_status = 0;
    std::string ap_name; // already converted to local text
    std::uint8_t ap_name_length = 0;
    std::string ssid;
    std::uint8_t ssid_length = 0;
    std::uint8_t channel = 0;
    std::uint8_t bridge_transparent = 0;
    // The device accepted a restart: what it comes back with (factory settings after a reset) is asked for
    // when it next answers a search.
    bool restarting = false;
    // Discovery's request for the details is waiting for its reply (it is resent; further answers ask
    // again without adding a request of their own).
    bool detailsAsked = false;
    // Another address that sent records naming this MAC: its claim is being probed, or (conflict) the
    // stored address answered the probe, so two hosts answer for this MAC.
    std::string claimIp;
    bool conflict = false;
};

} // namespace rf
