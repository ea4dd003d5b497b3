#include "relayd/TftpPacket.h"

namespace rf::tftp {

std::vector<uint8_t> BuildError(ErrorCode code, std::string_view message) {
    constexpr size_t kMaxMessage = 200;
    if (message.size() > kMaxMessage) {
        message = message.substr(0, kMaxMessage);
    }
    std::vector<uint8_t> packet(kHeaderSize + message.size() + 1, 0);
    WriteU16(packet.data(), kError);
    WriteU16(packet.data() + 2, code);
    for (size_t i = 0; i < message.size(); ++i) {
        packet[kHeaderSize + i] = static_cast<uint8_t>(message[i]);
    }
    return packet;
}

} // namespace rf::tftp
