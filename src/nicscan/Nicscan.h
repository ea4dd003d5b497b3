#pragma once

// The adapter library's C interface: a linked list of 924-byte nodes, one per usable network adapter,
// returned by GetNicscanInfo and valid until ClearNicscanInfo. The library is loaded with dlopen by
// name ("libnicscan.so") from the executable directory; both exports are resolved with dlsym.

#include <cstddef>
#include <cstdint>

namespace rf {

inline constexpr const char* kNicscanLibraryName = "libnicscan.so";
inline constexpr const char* kGetNicscanInfoName = "GetNicscanInfo";
inline constexpr const char* kClearNicscanInfoName = "ClearNicscanInfo";
inline constexpr int kNicscanMaxAddresses = 10;

// One address of an adapter, as dotted texts.
struct AdapterAddress {
    char ip[16];   // "%d.%d.%d.%d", zero-terminated
    char mask[16]; // same form
    uint8_t unused[16];
};

struct AdapterRecord {
    uint8_t usable;             // 1 on every node the library hands out
    uint8_t hardwareAddress[8]; // the first 6 bytes are the MAC
    char description[132];      // "eth0 (e1000e)", zero-terminated
    char name[260];             // interface name, zero-terminated
    uint8_t padding[3];
    uint32_t count; // valid entries of addresses, 0-10
    AdapterAddress addresses[kNicscanMaxAddresses];
    uint32_t unused[8];
    // Distance in bytes from this node to the next one, 0 on the last node. Four bytes cannot hold a
    // pointer on a 64-bit system, so the library lays the nodes out as one array and links them by
    // offset; NextAdapterRecord follows the link.
    uint32_t next;
};

static_assert(sizeof(AdapterAddress) == 48);
static_assert(offsetof(AdapterAddress, ip) == 0);
static_assert(offsetof(AdapterAddress, mask) == 16);
static_assert(offsetof(AdapterAddress, unused) == 32);

static_assert(sizeof(AdapterRecord) == 924);
static_assert(offsetof(AdapterRecord, usable) == 0);
static_assert(offsetof(AdapterRecord, hardwareAddress) == 1);
static_assert(offsetof(AdapterRecord, description) == 9);
static_assert(offsetof(AdapterRecord, name) == 141);
static_assert(offsetof(AdapterRecord, count) == 404);
static_assert(offsetof(AdapterRecord, addresses) == 408);
static_assert(offsetof(AdapterRecord, unused) == 888);
static_assert(offsetof(AdapterRecord, next) == 920);

// The node that follows node, or nullptr at the end of the list (or on a link that is not a whole
// number of nodes, which a sound list never has).
inline const AdapterRecord* NextAdapterRecord(const AdapterRecord* node) {
    if (node == nullptr || node->next == 0 || node->next % sizeof(AdapterRecord) != 0) {
        return nullptr;
    }
    return node + node->next / sizeof(AdapterRecord);
}

using GetNicscanInfoFunction = AdapterRecord* (*)();
using ClearNicscanInfoFunction = void (*)();

extern "C" {
// First node of the adapter list, or nullptr when no adapter is usable. The list belongs to the library
// and stays valid until ClearNicscanInfo.
AdapterRecord* GetNicscanInfo();
// Releases every list GetNicscanInfo handed out.
void ClearNicscanInfo();
}

} // namespace rf
