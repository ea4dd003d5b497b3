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
    std::vector<size_t> answerLosingRadios; // apply what they are told, but their answers are lost
    // Radios with these indexes ignore the searches they hear before the lateFromSearch-th one.
    std::vector<size_t> lateRadios;
    uint32_t lateFromSearch = 1;
    std::vector<uint16_t> models; // radio i has models[i % size]; empty: a random model each
    // Firmware upgrades: radios fetch the image by TFTP from the PC that asked, port tftpPort.
    std::vector<size_t> upgradeFailingRadios;
    int flashMs = 5000;
    int pollWaitMs = 60000;     // a radio not polled by then flashes anyway
    std::string upgradeVersion; // the version after an upgrade; empty: the file's name without ".bin"
    uint16_t tftpPort = 69;
    uint16_t tftpBlockSize = 1468;
    uint16_t tftpWindowSize = 0; // 0: not asked for
    bool duplicateIp = false;
    bool hostile = false;
    std::string controlPath;
};

// Reads the command line; nullopt with error set on a bad option.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kSimUsage;

} // namespace rf
