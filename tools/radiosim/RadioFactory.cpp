#include "RadioFactory.h"

#include <array>
#include <random>
#include <string>

namespace rf {
namespace {

constexpr std::array<uint16_t, 14> kModels{1, 2, 3, 4, 5, 6, 7, 257, 258, 259, 260, 261, 262, 263};
constexpr std::array<const char*, 5> kVersions{"V2.3.12", "V2.4.0 build 1804", "V3.1.0\nbuild 2211",
                                               "V1.9.7-beta", "V3.2.4"};
// Names a user might give, some of them in Chinese (UTF-8).
constexpr std::array<const char*, 6> kNamePrefixes{"Radio-", "Tower-", "\xe5\x8c\x97\xe7\xab\x99-",
                                                   "Mast ",  "Silo-",  "\xe5\xa1\x94\xe6\xa5\xbc"};
constexpr std::array<const char*, 4> kHostileNames{
    "It's \"AP\" 1'; DROP TABLE ap_info;--", "%s%s%n%x \\ \" ' ` $(reboot)", "<b>name</b>&amp;\r\n\t\x01\x7f",
    "\xff\xfe\xe5\x8c\xe5 broken utf-8 \xc3"};

uint32_t ToNumber(const Ipv4Bytes& ip) {
    return uint32_t{ip[0]} << 24 | uint32_t{ip[1]} << 16 | uint32_t{ip[2]} << 8 | ip[3];
}

Ipv4Bytes FromNumber(uint32_t n) {
    return {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
            static_cast<uint8_t>(n)};
}

Ipv4Bytes MaskOf(int prefix) {
    return FromNumber(prefix == 0 ? 0 : ~uint32_t{0} << (32 - prefix));
}

MacAddress MakeMac(uint8_t first, uint64_t seed, size_t index) {
    return {first,
            0x52,
            static_cast<uint8_t>(seed),
            static_cast<uint8_t>(index >> 16),
            static_cast<uint8_t>(index >> 8),
            static_cast<uint8_t>(index)};
}

class Generator {
public:
    explicit Generator(uint64_t seed) : rng_(seed) {}
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }

private:
    std::mt19937_64 rng_;
};

void FillSecurity(DeviceInfo& info, Generator& g, size_t index) {
    SecurityBlock s;
    s.set_secure_mode(static_cast<uint8_t>(index % 7));
    s.set_wpapsk_auth_type(static_cast<uint8_t>(g.Pick(0, 2)));
    s.set_wpapsk_key_value("labkey-" + std::to_string(1000 + index));
    // Settings a radio's own web page would have accepted: renewal 0 or 60-99999 seconds, WEP keys of 26
    // hex digits (type 1) or 5 ASCII characters (type 0), default key 1-4.
    const int renewal = g.Pick(0, 86400); // one draw, so that the radios after this one stay as they were
    s.set_wpapsk_key_time(static_cast<uint32_t>(renewal < 60 ? 0 : renewal));
    s.set_wep_auth_type(static_cast<uint8_t>(g.Pick(0, 1)));
    s.set_wep_key_index(static_cast<uint8_t>(g.Pick(1, 4)));
    for (size_t k = 0; k < SecurityBlock::kWepKeyCount; ++k) {
        const bool hex = g.Chance(50);
        s.set_wep_key_type(k, hex ? 1 : 0);
        s.set_wep_key_value(k, hex ? "0123456789abcdef0123456789" : "wep" + std::to_string(10 + index % 90));
    }
    s.set_wpa_radius_ip({10, 99, 0, 3});
    s.set_wpa_radius_port(1812);
    s.set_wpa_auth_type(static_cast<uint8_t>(g.Pick(0, 2)));
    s.set_wpa_key("radius-secret-" + std::to_string(index));
    s.set_wpa_key_time(3600);
    info.set_security(s);
}

void FillRadio(DeviceInfo& info, Generator& g, size_t index, const MacAddress& wirelessMac) {
    info.set_rf_count(1);
    info.set_rf_en(1);
    info.set_rf_type(static_cast<uint8_t>(g.Pick(0, 1)));
    info.set_country_code(static_cast<uint8_t>(g.Pick(0, 5)));
    info.set_network_mode(static_cast<uint8_t>(g.Pick(0, 7)));
    info.set_bandwidth(static_cast<uint8_t>(g.Pick(0, 3)));
    info.set_channel(static_cast<uint8_t>(g.Chance(25) ? 0 : g.Pick(1, 13)));
    info.set_expand_channel(static_cast<uint8_t>(g.Pick(0, 1)));
    info.set_tx_power_min(static_cast<uint8_t>(g.Pick(0, 5)));
    info.set_tx_power_max(static_cast<uint8_t>(g.Pick(20, 30)));
    info.set_tx_power(static_cast<uint8_t>(g.Pick(info.tx_power_min(), info.tx_power_max())));
    info.set_ssid_rf_type(info.rf_type());
    info.set_ssid_id(0);
    info.set_ssid_hide(static_cast<uint8_t>(g.Chance(10)));
    info.set_ssid_mac(wirelessMac);
    info.set_ssid("rflab-" + std::to_string(index));
    info.set_ssid_count(1);
    FillSecurity(info, g, index);
}

void FillSchedules(DeviceInfo& info, Generator& g) {
    info.set_restart_en(static_cast<uint8_t>(g.Pick(0, 1)));
    info.set_restart_type(static_cast<uint8_t>(g.Pick(1, 127) << 1));
    info.set_restart_time(static_cast<uint16_t>(g.Pick(0, 1439)));
    info.set_vlan_en(static_cast<uint8_t>(g.Chance(30)));
    info.set_vlan_id(static_cast<uint16_t>(g.Pick(1, 4094)));
    info.set_vlan_id_wlan(static_cast<uint16_t>(g.Pick(1, 4094)));
    info.set_vlan_id_lan(static_cast<uint16_t>(g.Pick(1, 4094)));
}

std::string NameFor(const SimOptions& options, size_t index) {
    if (options.hostile && index % 5 == 0) {
        return kHostileNames[(index / 5) % kHostileNames.size()];
    }
    return kNamePrefixes[index % kNamePrefixes.size()] + std::to_string(index + 1);
}

uint8_t WorkModeFor(Generator& g) {
    const int roll = g.Pick(0, 99);
    if (roll < 35) {
        return 1; // AP
    }
    if (roll < 85) {
        return 2; // Station
    }
    return static_cast<uint8_t>(g.Pick(3, 7));
}

DeviceInfo MakeInfo(const SimOptions& options, Generator& g, size_t index, const Segment& segment, size_t k) {
    DeviceInfo info;
    info.set_work_mode(WorkModeFor(g));
    info.set_mode_btn_status(static_cast<uint8_t>(index % 3));
    info.set_ip_mode(static_cast<uint8_t>(g.Chance(10)));
    info.set_ip(RadioAddress(segment, k));
    info.set_ip_mask(MaskOf(segment.prefix));
    const uint32_t network = ToNumber(segment.network);
    info.set_ip_gateway(FromNumber(network + 1));
    info.set_ip_dns1(FromNumber(network + 2));
    info.set_ip_dns2(g.Chance(50) ? FromNumber(network + 3) : Ipv4Bytes{});
    info.set_ap_name(NameFor(options, index));
    info.set_version(kVersions[static_cast<size_t>(g.Pick(0, kVersions.size() - 1))]);
    FillSchedules(info, g);
    FillRadio(info, g, index, MakeMac(0x06, options.seed, index));
    info.set_bridge_transparent(static_cast<uint8_t>(g.Pick(0, 1)));
    if (options.hostile && index % 10 == 0) {
        info.mutable_bytes()[DeviceInfo::kApNameLengthOffset] = 200; // longer than its field
    }
    return info;
}

// Stations are bridged to an access point of their own segment, with that access point's link settings.
void BridgeStations(std::vector<DeviceInfo>& infos, const std::vector<int>& segments, Generator& g) {
    for (size_t i = 0; i < infos.size(); ++i) {
        if (infos[i].work_mode() != 2) {
            continue;
        }
        std::vector<size_t> aps;
        for (size_t j = 0; j < infos.size(); ++j) {
            if (infos[j].work_mode() == 1 && segments[j] == segments[i]) {
                aps.push_back(j);
            }
        }
        if (aps.empty()) {
            continue;
        }
        const DeviceInfo& ap = infos[aps[static_cast<size_t>(g.Pick(0, static_cast<int>(aps.size()) - 1))]];
        infos[i].set_bridge_work_mode(2);
        infos[i].set_bridge_mac(ap.ssid_mac());
        infos[i].set_bridge_channel(ap.channel());
        infos[i].set_bridge_ssid(ap.ssid());
        infos[i].set_bridge_security(ap.security());
    }
}

// Sets a flag on the radios with these indexes; indexes beyond the last radio are ignored.
void MarkRadios(std::vector<Radio>& radios, const std::vector<size_t>& indexes, bool Radio::*flag) {
    for (size_t index : indexes) {
        if (index < radios.size()) {
            radios[index].*flag = true;
        }
    }
}

void MarkLate(const SimOptions& options, std::vector<Radio>& radios) {
    for (size_t index : options.lateRadios) {
        if (index < radios.size()) {
            radios[index].answerFromSearch = options.lateFromSearch;
        }
    }
}

} // namespace

Ipv4Bytes RadioAddress(const Segment& segment, size_t k) {
    const uint32_t block = static_cast<uint32_t>(k / 254);
    const uint32_t host = static_cast<uint32_t>(k % 254) + 1;
    return FromNumber(ToNumber(segment.network) + (block + 1) * 256 + host);
}

std::vector<Radio> MakeRadios(const SimOptions& options) {
    Generator g(options.seed);
    std::vector<DeviceInfo> infos;
    std::vector<int> segments;
    std::vector<size_t> perSegment(options.segments.size(), 0);
    for (size_t i = 0; i < options.radios; ++i) {
        const int s = static_cast<int>(i % options.segments.size());
        infos.push_back(MakeInfo(options, g, i, options.segments[s], perSegment[s]++));
        segments.push_back(s);
    }
    BridgeStations(infos, segments, g);
    for (size_t j = 1; options.duplicateIp && j < infos.size(); ++j) {
        if (segments[j] == segments[0]) {
            infos[j].set_ip(infos[0].ip());
            break;
        }
    }

    std::vector<Radio> radios;
    for (size_t i = 0; i < infos.size(); ++i) {
        const uint16_t picked = kModels[static_cast<size_t>(g.Pick(0, kModels.size() - 1))];
        const uint16_t model = options.models.empty() ? picked : options.models[i % options.models.size()];
        const uint32_t uptime = static_cast<uint32_t>(g.Pick(0, 30 * 86400));
        radios.emplace_back(i, segments[i], MakeMac(0x02, options.seed, i), model, infos[i], uptime);
        radios.back().mute = g.Chance(options.silentPercent);
    }
    MarkRadios(radios, options.failingRadios, &Radio::failing);
    MarkRadios(radios, options.answerLosingRadios, &Radio::losesAnswers);
    MarkLate(options, radios);
    MarkRadios(radios, options.upgradeFailingRadios, &Radio::upgradeFailing);
    return radios;
}

} // namespace rf
