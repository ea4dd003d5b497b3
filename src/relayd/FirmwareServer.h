#pragma once

#include "core/OperateSystemInfo.h"
#include "relayd/RelaydProcess.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rf {

// Starts and stops the firmware server that devices fetch their image from. The server lives in the
// folder "service" beneath the program's folder. Each of our processes gives its own server its own
// settings, "Relayd.ini" in the process's run folder (CRunFolder), made from those beside the server;
// the server is told where they are. Only the server this object started is ever ended: another
// instance's, in another network namespace say, goes on serving its devices.
class CFirmwareServer {
public:
    static constexpr const char* kProgramName = "Relayd";
    static constexpr const char* kIniName = "Relayd.ini";

    // programDirectory and settingsDirectory end in "/"; the defaults are the running program's folder,
    // the real server, and this process's run folder. A launcher, when given, starts the server
    // as pkexec does, with the server's path and arguments as its own (tests stand in a slow password
    // prompt with it).
    explicit CFirmwareServer(COperateSystemInfo& system, std::string programDirectory = {},
                             std::string programName = kProgramName, std::string settingsDirectory = {},
                             std::string launcher = {});

    // Ends the server this object started, points the settings at firmwareDirectory and starts the server
    // without waiting for it, serving only the devices at addresses (dotted quads). The settings start as
    // a copy of those beside the server, so that what a site set there (a port) still holds. False when
    // the directory cannot be written as a setting, the settings cannot be written or the program cannot
    // be started.
    bool StartFirmwareServer(const std::string& firmwareDirectory, const std::vector<std::string>& addresses);
    // The running server serves these addresses from now on instead.
    bool AllowAddresses(const std::vector<std::string>& addresses);
    // Ends the server of the last start, or the launcher still asking for a password.
    void StopFirmwareServer();

    // The process that the last start launched (pkexec while it asks for a password, or the server) is
    // still there.
    bool LauncherRuns();
    // The server of the last start runs and has said so.
    bool ProgramRuns() const;
    // The UDP port the server serves on: as it said, or before that as its settings give it.
    uint16_t Port() const;
    // The last status the server gave about each device's transfer (progress, done or failed).
    std::map<std::string, RelaydMessage> Transfers() const;

    std::string ProgramPath() const;
    std::string IniPath() const;

private:
    bool SeedSettings() const;

    COperateSystemInfo& system_;
    std::string serviceDirectory_;
    std::string programName_;
    std::string settingsDirectory_;
    std::string launcher_;
    std::unique_ptr<CRelaydProcess> process_;
};

} // namespace rf
