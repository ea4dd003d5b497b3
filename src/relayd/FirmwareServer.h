#pragma once

#include "core/OperateSystemInfo.h"

#include <string>

namespace rf {

// Starts and stops the firmware server that devices fetch their image from. The server lives in the
// folder "service" beneath the program's folder and reads its settings from "Relayd.ini" there.
class CFirmwareServer {
public:
    static constexpr const char* kProgramName = "Relayd";

    // programDirectory ends in "/"; the defaults are the running program's folder and the real server.
    explicit CFirmwareServer(COperateSystemInfo& system, std::string programDirectory = {},
                             std::string programName = kProgramName);

    // Ends a server that still runs, points the settings at firmwareDirectory and starts the server
    // without waiting for it. False when the directory cannot be written as a setting, the settings
    // cannot be written or the program cannot be started.
    bool StartFirmwareServer(const std::string& firmwareDirectory);
    // Ends every server of this user running from our service folder.
    void StopFirmwareServer();

    std::string ProgramPath() const;
    std::string IniPath() const;

private:
    COperateSystemInfo& system_;
    std::string serviceDirectory_;
    std::string programName_;
};

} // namespace rf
