// Feeds arbitrary datagrams to the request parser, the option grant and the name check.
#include "core/ServedFileName.h"
#include "relayd/ServedDirectory.h"
#include "relayd/TftpRequest.h"
#include "relayd/TransferOptions.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rf::tftp;
    const auto request = TftpRequest::Parse(std::span<const uint8_t>(data, size));
    if (!request.Ok()) {
        return 0;
    }
    // Every string the parser returns lies inside the packet.
    if (request.fileName.size() + request.mode.size() + 4 > size) {
        std::abort();
    }
    (void)rf::IsServableFileName(request.fileName);
    uint64_t fileSize = 0;
    std::memcpy(&fileSize, data, std::min(size, sizeof fileSize));
    const uint16_t cap = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 1468;
    const auto granted = TransferOptions::Negotiate(request.options, fileSize, cap);
    if (granted.BlockSize() < kMinBlockSize || granted.BlockSize() > kMaxBlockSize ||
        granted.WindowSize() < 1 || granted.WindowSize() > TransferOptions::kWindowSizeCap ||
        granted.Oack().size() > TransferOptions::kMaxOackSize) {
        std::abort();
    }
    if (request.options.blockSize && granted.BlockSize() > *request.options.blockSize) {
        std::abort();
    }
    return 0;
}
