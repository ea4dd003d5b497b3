#pragma once

#include <cstdint>

namespace rf {

// Asks a TFTP server on this machine whether it serves yet: a read request for a name no server hands
// out, which a serving server refuses with an error packet from its own port. Nothing waits: Send puts a
// request on its way, Answered looks at what has come back so far.
class CTftpProbe {
public:
    explicit CTftpProbe(uint16_t port);
    ~CTftpProbe();
    CTftpProbe(const CTftpProbe&) = delete;
    CTftpProbe& operator=(const CTftpProbe&) = delete;

    void Send();
    // An error packet has come from the server's port since the probe began.
    bool Answered();

private:
    int socket_ = -1;
    bool answered_ = false;
};

} // namespace rf
