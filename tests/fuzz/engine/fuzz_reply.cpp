#include "FuzzEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    auto& h = rf::fuzz::Harness();
    const auto packet = rf::fuzz::PacketOf(data, size);
    h.engine.DispatchReply(packet);
    rf::fuzz::Trim(h);
    return 0;
}
