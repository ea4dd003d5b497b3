#include "protocol/ScanReply.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A ScanAps reply payload: decoded, re-encoded, and decoded again to the same entries.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const auto reply = rf::ScanReply::Decode(std::span(data, size));
    if (!reply) {
        return 0;
    }
    std::vector<std::uint8_t> out(rf::ScanReply::kMaxSize);
    out.resize(reply->Encode(out));
    const auto again = rf::ScanReply::Decode(out);
    if (!again || again->entries.size() != reply->entries.size()) {
        __builtin_trap();
    }
    return 0;
}
