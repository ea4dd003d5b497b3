// Relayd: the firmware server. Serves the files of one directory, read-only, over TFTP until terminated.
#include "core/ExeDirectory.h"
#include "core/Version.h"
#include "relayd/Privileges.h"
#include "relayd/RelaydArguments.h"
#include "relayd/RelaydServer.h"

#include <csignal>
#include <cstdio>
#include <stop_token>
#include <sys/signalfd.h>
#include <vector>

int main(int argc, char** argv) {
    const rf::RelaydArguments arguments =
        rf::ParseRelaydArguments(std::vector<std::string>(argv, argv + argc), rf::GetExeDirectory());
    if (!arguments.error.empty() || arguments.showHelp) {
        std::fprintf(arguments.showHelp ? stdout : stderr, "%s%s%s", arguments.error.c_str(),
                     arguments.error.empty() ? "" : "\n", rf::kRelaydUsage);
        return arguments.showHelp ? 0 : 2;
    }
    if (arguments.showVersion) {
        std::printf("Relayd %s\n", rf::kVersionText);
        return 0;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);

    std::string error;
    const bool allowed = !arguments.iniGiven || rf::CallerMayNameSettings(arguments.iniPath, error);
    const auto config = allowed ? rf::RelaydConfig::Load(arguments.iniPath, error) : std::nullopt;
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
