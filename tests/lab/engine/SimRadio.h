#pragma once

// The simulator's own view of one radio, read from a line of its "list" or "get" answer.
#include <cstdlib>
#include <map>
#include <string>

namespace rf::test {

// A code point as UTF-8 (the first plane is all JSON lines here carry).
inline std::string Utf8Of(unsigned c) {
    if (c < 0x80) {
        return std::string(1, static_cast<char>(c));
    }
    if (c < 0x800) {
        return {static_cast<char>(0xc0 | c >> 6), static_cast<char>(0x80 | (c & 0x3f))};
    }
    return {static_cast<char>(0xe0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3f)),
            static_cast<char>(0x80 | (c & 0x3f))};
}

// The value of key in a flat JSON object line: a string unescaped, or a number's text. Empty when absent.
inline std::string JsonValue(const std::string& line, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    const auto at = line.find(tag);
    if (at == std::string::npos) {
        return {};
    }
    size_t i = at + tag.size();
    if (i >= line.size() || line[i] != '"') {
        const auto end = line.find_first_of(",}", i);
        return line.substr(i, end - i);
    }
    static const std::map<char, char> kEscapes{
        {'n', '\n'}, {'t', '\t'}, {'r', '\r'}, {'b', '\b'}, {'f', '\f'}};
    std::string value;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\') {
            value += line[i];
        } else if (line[++i] == 'u') {
            value += Utf8Of(static_cast<unsigned>(std::strtol(line.substr(i + 1, 4).c_str(), nullptr, 16)));
            i += 4;
        } else {
            value += kEscapes.contains(line[i]) ? kEscapes.at(line[i]) : line[i];
        }
    }
    return value;
}

// The number of key in a flat JSON object line; 0 when absent.
inline int JsonNumber(const std::string& line, const std::string& key) {
    return std::atoi(JsonValue(line, key).c_str());
}

struct SimRadio {
    std::string mac, ip, name, version, ssid, ssidMac, state;
    int model = 0, workMode = 0, channel = 0, bridgeTransparent = 0, upTime = 0;
    std::string received; // the "received" object: counts by message type

    static SimRadio Parse(const std::string& line) {
        SimRadio r;
        r.mac = JsonValue(line, "mac");
        r.ip = JsonValue(line, "ip");
        r.name = JsonValue(line, "ap_name");
        r.version = JsonValue(line, "version");
        r.ssid = JsonValue(line, "ssid");
        r.ssidMac = JsonValue(line, "ssid_mac");
        r.state = JsonValue(line, "state");
        r.model = std::atoi(JsonValue(line, "model").c_str());
        r.workMode = std::atoi(JsonValue(line, "work_mode").c_str());
        r.channel = std::atoi(JsonValue(line, "channel").c_str());
        r.bridgeTransparent = std::atoi(JsonValue(line, "bridge_transparent").c_str());
        r.upTime = std::atoi(JsonValue(line, "up_time").c_str());
        const auto at = line.find("\"received\":");
        r.received = at == std::string::npos ? "" : line.substr(at + 11, line.find('}', at) - at - 10);
        return r;
    }
    // How many datagrams of this type the radio received.
    int Received(int type) const {
        const std::string value = JsonValue(received, std::to_string(type));
        return value.empty() ? 0 : std::atoi(value.c_str());
    }
    // Models 4 and 261 and the work modes 4-7 have no transparent bridge; the others take strict or
    // loose names by model.
    bool HasTransparentBridge() const { return model != 4 && model != 261 && (workMode < 4 || workMode > 7); }
};

} // namespace rf::test
