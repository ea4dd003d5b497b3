#include "nicscan/InterfaceScan.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netpacket/packet.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rf {
namespace {

struct InterfaceInfo {
    std::string name;
    unsigned flags = 0;
    bool hasLinkAddress = false;
    uint8_t linkAddress[8] = {};
    std::vector<std::pair<std::string, std::string>> addresses; // ip, mask
};

// Address labels ("eth0:1") belong to their interface; ':' never occurs in an interface name itself.
std::string BaseName(const char* label) {
    std::string name(label);
    const auto colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(0, colon);
}

std::string DottedText(const sockaddr* address) {
    if (address == nullptr || address->sa_family != AF_INET) {
        return "0.0.0.0";
    }
    sockaddr_in in{};
    std::memcpy(&in, address, sizeof in);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    return text;
}

InterfaceInfo& Find(std::vector<InterfaceInfo>& interfaces, const std::string& name) {
    auto it = std::find_if(interfaces.begin(), interfaces.end(),
                           [&](const InterfaceInfo& i) { return i.name == name; });
    if (it == interfaces.end()) {
        InterfaceInfo fresh;
        fresh.name = name;
        interfaces.push_back(std::move(fresh));
        return interfaces.back();
    }
    return *it;
}

void TakeEntry(std::vector<InterfaceInfo>& interfaces, const ifaddrs& entry) {
    if (entry.ifa_name == nullptr) {
        return;
    }
    InterfaceInfo& info = Find(interfaces, BaseName(entry.ifa_name));
    info.flags |= entry.ifa_flags;
    if (entry.ifa_addr == nullptr) {
        return;
    }
    if (entry.ifa_addr->sa_family == AF_PACKET) {
        sockaddr_ll link{};
        std::memcpy(&link, entry.ifa_addr, sizeof link);
        const size_t length = std::min<size_t>(link.sll_halen, sizeof info.linkAddress);
        std::memcpy(info.linkAddress, link.sll_addr, length);
        info.hasLinkAddress = length > 0;
    } else if (entry.ifa_addr->sa_family == AF_INET) {
        info.addresses.emplace_back(DottedText(entry.ifa_addr), DottedText(entry.ifa_netmask));
    }
}

std::string ReadFirstLine(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Reads "aa:bb:cc:dd:ee:ff" from sysfs for interfaces that getifaddrs gave no link address for.
bool ReadSysfsAddress(const std::string& name, uint8_t (&out)[8]) {
    const std::string text = ReadFirstLine("/sys/class/net/" + name + "/address");
    unsigned bytes[6] = {};
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &bytes[0], &bytes[1], &bytes[2], &bytes[3],
                    &bytes[4], &bytes[5]) != 6) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        out[i] = static_cast<uint8_t>(bytes[i]);
    }
    return true;
}

std::string DriverFromSysfs(const std::string& name) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink("/sys/class/net/" + name + "/device/driver", ec);
    return ec ? std::string() : target.filename().string();
}

// Virtual interfaces (veth, bridge, tun, ...) have no device link; the kernel still names their driver.
std::string DriverFromEthtool(const std::string& name) {
    if (name.size() >= IFNAMSIZ) {
        return {};
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return {};
    }
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    ifreq request{};
    std::memcpy(request.ifr_name, name.data(), name.size());
    request.ifr_data = reinterpret_cast<char*>(&info);
    const bool ok = ::ioctl(fd, SIOCETHTOOL, &request) == 0;
    ::close(fd);
    return ok ? std::string(info.driver, strnlen(info.driver, sizeof info.driver)) : std::string();
}

template <size_t N> void CopyText(char (&field)[N], const std::string& text) {
    const size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

AdapterRecord MakeRecord(const InterfaceInfo& info) {
    AdapterRecord record{};
    record.usable = 1;
    if (info.hasLinkAddress) {
        std::memcpy(record.hardwareAddress, info.linkAddress, sizeof record.hardwareAddress);
    } else {
        ReadSysfsAddress(info.name, record.hardwareAddress);
    }
    CopyText(record.description, DescribeInterface(info.name));
    CopyText(record.name, info.name);
    const size_t count = std::min<size_t>(info.addresses.size(), kNicscanMaxAddresses);
    for (size_t i = 0; i < count; ++i) {
        CopyText(record.addresses[i].ip, info.addresses[i].first);
        CopyText(record.addresses[i].mask, info.addresses[i].second);
    }
    record.count = static_cast<uint32_t>(count);
    return record;
}

bool Usable(const InterfaceInfo& info) {
    return (info.flags & IFF_UP) != 0 && (info.flags & IFF_LOOPBACK) == 0 && !info.addresses.empty();
}

} // namespace

std::string DescribeInterface(const std::string& name) {
    std::string driver = DriverFromSysfs(name);
    if (driver.empty()) {
        driver = DriverFromEthtool(name);
    }
    return driver.empty() ? name : name + " (" + driver + ")";
}

std::vector<AdapterRecord> ScanInterfaces() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return {};
    }
    std::vector<InterfaceInfo> interfaces;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        TakeEntry(interfaces, *entry);
    }
    ::freeifaddrs(list);

    std::vector<AdapterRecord> records;
    for (const InterfaceInfo& info : interfaces) {
        if (Usable(info)) {
            records.push_back(MakeRecord(info));
        }
    }
    return records;
}

} // namespace rf
