#pragma once

#include "core/OperateSystemInfo.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace rf {

// Starts and stops the firmware server that devices fetch their image from. The server lives in the
// folder "service" beneath the program's folder. Its settings, "Relayd.ini", lie beside it when that
// folder is writable, otherwise in the user's own folder that data.mdb falls back to as well (a bundle
// installed by root); the server is told where they are.
class CFirmwareServer {
public:
    static constexpr const char* kProgramName = "Relayd";
    static constexpr const char* kIniName = "Relayd.ini";

    // programDirectory and settingsDirectory end in "/"; the defaults are the running program's folder,
    // the real server, and the settings folder chosen as above. A launcher, when given, starts the server
    // as pkexec does, with the server's path and arguments as its own (tests stand in a slow password
    // prompt with it).
    explicit CFirmwareServer(COperateSystemInfo& system, std::string programDirectory = {},
                             std::string programName = kProgramName, std::string settingsDirectory = {},
                             std::string launcher = {});

    // Ends a server that still runs, points the settings at firmwareDirectory and starts the server
    // without waiting for it. Settings kept apart from the server start as a copy of those beside it, so
    // that what a site set there (a port) still holds. False when the directory cannot be written as a
    // setting, the settings cannot be written or the program cannot be started.
    bool StartFirmwareServer(const std::string& firmwareDirectory);
    // Ends the launcher of the last start if it is still there, and every server of this user running
    // from our service folder.
    void StopFirmwareServer();

    // The process that the last start launched (pkexec while it asks for a password, or the server) is
    // still there.
    bool LauncherRuns();
    // A server of this user runs from our service folder.
    bool ProgramRuns() const;
    // The UDP port the server serves on, as its settings give it.
    uint16_t Port() const;

    std::string ProgramPath() const;
    std::string IniPath() const;

private:
    bool SeedSettings() const;

    COperateSystemInfo& system_;
    std::string serviceDirectory_;
    std::string programName_;
    std::string settingsDirectory_;
    std::string launcher_;
    pid_t launched_ = 0;
};

} // namespace rf
