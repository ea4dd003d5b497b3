#pragma once

#include "relayd/RelaydMessage.h"

#include <mutex>
#include <string>

namespace rf {

class CRelaydServer;

// The server's side of the channel to the program that started it: status lines out on one descriptor,
// commands in on another. The program's end of the command pipe closing means the program is gone, by
// whatever end, and so the server ends too.
class CRelaydControl {
public:
    CRelaydControl(int commandFd, int statusFd);

    // Writes one status line whole; from any thread. A reader that is gone is not an error here: the end
    // of the commands ends the server.
    void Send(const RelaydMessage& message);
    // Carries out commands until their end, an unreadable command stream or stopFd becoming readable.
    void Serve(CRelaydServer& server, int stopFd);

private:
    void Carry(CRelaydServer& server, const std::string& line);

    int commandFd_;
    int statusFd_;
    std::mutex writing_;
};

} // namespace rf
