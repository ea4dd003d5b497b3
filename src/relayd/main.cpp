// Relayd: the firmware server. Serves the files of one directory, read-only, over TFTP until terminated,
// or with --control until the program that started it closes its standard input.
#include "core/ExeDirectory.h"
#include "core/Version.h"
#include "relayd/Privileges.h"
#include "relayd/RelaydArguments.h"
#include "relayd/RelaydControl.h"
#include "relayd/RelaydServer.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <stop_token>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

int SignalFd() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr); // NOLINT(concurrency-mt-unsafe): before any thread
    return ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

int Fail(rf::CRelaydControl* control, const std::string& error) {
    std::fprintf(stderr, "Relayd: %s\n", error.c_str());
    if (control != nullptr) {
        control->Send({.kind = rf::RelaydMessage::Kind::Error, .text = error});
    }
    return 1;
}

// Serves until a signal comes or, under control, the commands end; the commands are read meanwhile.
void Serve(rf::CRelaydServer& server, rf::CRelaydControl* control, int signalFd) {
    if (control == nullptr) {
        server.Run(std::stop_token{}, signalFd); // a token without a source is never stopped
        return;
    }
    std::jthread serving([&server](std::stop_token stop) { server.Run(std::move(stop)); });
    control->Serve(server, signalFd);
}

} // namespace

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
    const int signalFd = SignalFd();
    std::optional<rf::CRelaydControl> control;
    if (arguments.control) {
        std::signal(SIGPIPE, SIG_IGN);
        control.emplace(STDIN_FILENO, STDOUT_FILENO);
        control->Send({.kind = rf::RelaydMessage::Kind::Started});
    }
    rf::CRelaydControl* channel = control ? &*control : nullptr;

    std::string error;
    const bool allowed = !arguments.iniGiven || rf::CallerMayNameSettings(arguments.iniPath, error);
    const auto config = allowed ? rf::RelaydConfig::Load(arguments.iniPath, error) : std::nullopt;
    if (!config) {
        return Fail(channel, error);
    }
    rf::CRelaydServer server(*config);
    if (channel != nullptr) {
        server.Allow({}); // nobody until the program names the devices
        server.SetStatusSink([channel](const rf::RelaydMessage& message) { channel->Send(message); });
    }
    if (!server.Start(error) || !rf::DropPrivileges(error)) {
        return Fail(channel, error);
    }
    if (signalFd < 0) {
        std::perror("Relayd: signalfd");
        return 1;
    }
    std::fprintf(stderr, "Relayd: serving %s on UDP port %u\n", config->directory.c_str(), server.Port());
    if (channel != nullptr) {
        channel->Send({.kind = rf::RelaydMessage::Kind::Listening, .port = server.Port()});
    }
    Serve(server, channel, signalFd);
    return 0;
}
