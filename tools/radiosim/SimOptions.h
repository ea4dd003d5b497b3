#pragma once

#include "protocol/Wire.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rf {

// One Ethernet segment the radios sit on: the interface that reaches it and the radios' subnet.
struct Segment {
    std::string interface;
    Ipv4Bytes network{};
    int prefix = 16;
    int ifindex = 0; // filled in when the simulator opens its sockets
};

struct SimOptions {
    size_t radios = 10;
    std::vector<Segment> segments;
    uint64_t seed = 1;
    int heartbeatMs = 5000;
    int rebootMs = 20000;
    int answerSpreadMs = 100; // answers to one search are spread over this time, as real radios do
    int lossInPercent = 0;
    int lossOutPercent = 0;
    int silentPercent = 0;
    std::vector<size_t> failingRadios;
    bool duplicateIp = false;
    bool hostile = false;
    std::string controlPath;
};

// Reads the command line; nullopt with error set on a bad option.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kSimUsage;

} // namespace rf
