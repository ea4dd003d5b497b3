#include "SimOptions.h"

#include "protocol/CodeTables.h"

#include <charconv>
#include <sstream>

namespace rf {

const char* const kSimUsage =
    "usage: radiosim --segment IFACE,NETWORK/PREFIX [--segment ...] [options]\n"
    "  --radios N            number of radios (default 10), spread over the segments\n"
    "  --seed S              everything random follows from this seed (default 1)\n"
    "  --heartbeat-ms MS     heartbeat period (default 5000)\n"
    "  --reboot-ms MS        how long a reboot keeps a radio silent (default 20000)\n"
    "  --answer-spread-ms MS answers to a search are spread over this time (default 100)\n"
    "  --loss-in P           drop P percent of the datagrams the radios receive\n"
    "  --loss-out P          drop P percent of the datagrams the radios send\n"
    "  --silent P            P percent of the radios never answer\n"
    "  --fail I,J,...        radios with these indexes answer settings with a failure result\n"
    "  --lose-answers I,J,.. radios with these indexes apply settings and commands, but their answers\n"
    "                        are lost (answers to GetInfo still arrive)\n"
    "  --late I,J,...:N      radios with these indexes answer searches only from the N-th they hear on\n"
    "  --duplicate-ip        the next radio on radio 0's segment takes radio 0's address\n"
    "  --hostile             also send malformed and hostile datagrams, and give radios hostile names\n"
    "  --models M,N,...      radio i has the i-th of these model codes, round robin (default: random)\n"
    "  --upgrade-fail I,J,.. radios with these indexes fetch an upgrade, then report it failed\n"
    "                        An image whose first line reads MODEL=CODE or MODEL=TEXT (say MODEL=258 or\n"
    "                        MODEL=Hirta) is meant for that model: a radio of another model fetches it\n"
    "                        and reports the upgrade failed. Images without that line suit every model.\n"
    "  --flash-ms MS         how long flashing a fetched image takes (default 5000)\n"
    "  --poll-wait-ms MS     a radio not polled this long after its report flashes anyway (default 60000)\n"
    "  --upgrade-version V   version after an upgrade (default: the image's file name without .bin)\n"
    "  --tftp-port P         port of the PC's firmware server (default 69)\n"
    "  --tftp-blksize N      block size radios ask for (default 1468)\n"
    "  --tftp-windowsize N   window size radios ask for (default: not asked)\n"
    "  --control PATH        Unix socket answering 'list', 'get MAC', 'mute MAC 0|1', 'stats',\n"
    "                        'security MAC MODE' (any mode code, key fields kept)\n";

namespace {

template <typename T> bool ParseNumber(const std::string& text, T& out, T low, T high) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool ParseSegment(const std::string& text, Segment& segment) {
    const auto comma = text.find(',');
    const auto slash = text.find('/');
    if (comma == std::string::npos || slash == std::string::npos || slash < comma) {
        return false;
    }
    const auto network = ParseIpText(text.substr(comma + 1, slash - comma - 1));
    if (comma == 0 || !network || !ParseNumber(text.substr(slash + 1), segment.prefix, 8, 30)) {
        return false;
    }
    segment.interface = text.substr(0, comma);
    segment.network = *network;
    return true;
}

bool ParseIndexList(const std::string& text, std::vector<size_t>& out) {
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        size_t index = 0;
        if (!ParseNumber<size_t>(item, index, 0, 1000000)) {
            return false;
        }
        out.push_back(index);
    }
    return true;
}

// I,J,...:N
bool ParseLate(const std::string& text, SimOptions& o) {
    const auto colon = text.rfind(':');
    return colon != std::string::npos && ParseIndexList(text.substr(0, colon), o.lateRadios) &&
           ParseNumber<uint32_t>(text.substr(colon + 1), o.lateFromSearch, 1, 1000000);
}

bool TakeValued(SimOptions& o, const std::string& name, const std::string& value) {
    if (name == "--segment") {
        Segment segment;
        const bool ok = ParseSegment(value, segment);
        o.segments.push_back(segment);
        return ok;
    }
    if (name == "--radios") {
        return ParseNumber<size_t>(value, o.radios, 1, 30000);
    }
    if (name == "--seed") {
        return ParseNumber<uint64_t>(value, o.seed, 0, UINT64_MAX);
    }
    if (name == "--heartbeat-ms") {
        return ParseNumber(value, o.heartbeatMs, 10, 3600000);
    }
    if (name == "--reboot-ms") {
        return ParseNumber(value, o.rebootMs, 0, 3600000);
    }
    if (name == "--answer-spread-ms") {
        return ParseNumber(value, o.answerSpreadMs, 0, 60000);
    }
    if (name == "--loss-in") {
        return ParseNumber(value, o.lossInPercent, 0, 100);
    }
    if (name == "--loss-out") {
        return ParseNumber(value, o.lossOutPercent, 0, 100);
    }
    if (name == "--silent") {
        return ParseNumber(value, o.silentPercent, 0, 100);
    }
    if (name == "--fail") {
        return ParseIndexList(value, o.failingRadios);
    }
    if (name == "--lose-answers") {
        return ParseIndexList(value, o.answerLosingRadios);
    }
    if (name == "--late") {
        return ParseLate(value, o);
    }
    if (name == "--models") {
        std::vector<size_t> codes;
        if (!ParseIndexList(value, codes) || codes.empty()) {
            return false;
        }
        for (const size_t code : codes) {
            if (code == 0 || code > 0xFFFF) {
                return false;
            }
            o.models.push_back(static_cast<uint16_t>(code));
        }
        return true;
    }
    if (name == "--upgrade-fail") {
        return ParseIndexList(value, o.upgradeFailingRadios);
    }
    if (name == "--flash-ms") {
        return ParseNumber(value, o.flashMs, 0, 3600000);
    }
    if (name == "--poll-wait-ms") {
        return ParseNumber(value, o.pollWaitMs, 0, 3600000);
    }
    if (name == "--upgrade-version") {
        o.upgradeVersion = value;
        return !value.empty() && value.size() <= 32;
    }
    if (name == "--tftp-port") {
        return ParseNumber<uint16_t>(value, o.tftpPort, 1, 65535);
    }
    if (name == "--tftp-blksize") {
        return ParseNumber<uint16_t>(value, o.tftpBlockSize, 8, 65464);
    }
    if (name == "--tftp-windowsize") {
        return ParseNumber<uint16_t>(value, o.tftpWindowSize, 0, 65535);
    }
    if (name == "--control") {
        o.controlPath = value;
        return !value.empty();
    }
    return false;
}

} // namespace

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--duplicate-ip") {
            options.duplicateIp = true;
        } else if (name == "--hostile") {
            options.hostile = true;
        } else if (i + 1 >= args.size() || !TakeValued(options, name, args[i + 1])) {
            error = "bad option or value: " + name;
            return std::nullopt;
        } else {
            ++i;
        }
    }
    if (options.segments.empty()) {
        error = "at least one --segment is needed";
        return std::nullopt;
    }
    return options;
}

} // namespace rf
