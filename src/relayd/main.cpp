// Relayd: the firmware server. Serves the files of one directory, read-only, over TFTP until terminated.
#include "core/ExeDirectory.h"
#include "relayd/Privileges.h"
#include "relayd/RelaydServer.h"

#include <csignal>
#include <cstdio>
#include <stop_token>
#include <sys/signalfd.h>

int main() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);

    std::string error;
    const std::string iniPath = rf::GetExeDirectory() + "Relayd.ini";
    const auto config = rf::RelaydConfig::Load(iniPath, error);
    if (!config) {
        std::fprintf(stderr, "Relayd: %s\n", error.c_str());
        return 1;
    }
    rf::CRelaydServer server(*config);
    if (!server.Start(error) || !rf::DropPrivileges(error)) {
        std::fprintf(stderr, "Relayd: %s\n", error.c_str());
        return 1;
    }
    if (signalFd < 0) {
        std::perror("Relayd: signalfd");
        return 1;
    }
    std::fprintf(stderr, "Relayd: serving %s on UDP port %u\n", config->directory.c_str(), server.Port());
    std::stop_source never;
    server.Run(never.get_token(), signalFd);
    return 0;
}
