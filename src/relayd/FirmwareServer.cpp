#include "relayd/FirmwareServer.h"

#include "core/ExeDirectory.h"
#include "core/OperateFileIni.h"
#include "core/WritableDirectory.h"
#include "relayd/RelaydConfig.h"

#include <csignal>
#include <filesystem>

namespace rf {

namespace {

// The settings reader drops blanks around a value and one pair of enclosing quotes; a folder whose name
// would lose characters that way is written inside quotes, which the reader removes again.
std::string IniValueFor(const std::string& path) {
    const bool edgeBlank =
        path.front() == ' ' || path.front() == '\t' || path.back() == ' ' || path.back() == '\t';
    const bool quoted =
        path.size() >= 2 && (path.front() == '"' || path.front() == '\'') && path.back() == path.front();
    return edgeBlank || quoted ? "\"" + path + "\"" : path;
}

bool HasControlCharacters(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

} // namespace

CFirmwareServer::CFirmwareServer(COperateSystemInfo& system, std::string programDirectory,
                                 std::string programName, std::string settingsDirectory, std::string launcher)
    : system_(system),
      serviceDirectory_((programDirectory.empty() ? GetExeDirectory() : programDirectory) + "service/"),
      programName_(std::move(programName)),
      settingsDirectory_(settingsDirectory.empty() ? ChooseWritableDirectory(serviceDirectory_)
                                                   : std::move(settingsDirectory)),
      launcher_(std::move(launcher)) {}

std::string CFirmwareServer::ProgramPath() const {
    return serviceDirectory_ + programName_;
}

std::string CFirmwareServer::IniPath() const {
    return settingsDirectory_ + kIniName;
}

bool CFirmwareServer::SeedSettings() const {
    namespace fs = std::filesystem;
    const fs::path own = IniPath();
    const fs::path beside = serviceDirectory_ + kIniName;
    std::error_code error;
    if (own == beside || fs::exists(own, error) || !fs::is_regular_file(beside, error)) {
        return true;
    }
    return fs::copy_file(beside, own, error);
}

bool CFirmwareServer::StartFirmwareServer(const std::string& firmwareDirectory) {
    system_.KillProcessByPath(ProgramPath());
    if (firmwareDirectory.empty() || HasControlCharacters(firmwareDirectory) || !SeedSettings() ||
        !COperateFileIni::WriteString("SERVER", "Directory", IniValueFor(firmwareDirectory), IniPath())) {
        return false;
    }
    launched_ = 0;
    if (launcher_.empty()) {
        return system_.RunElevated(ProgramPath(), {"--config", IniPath()}, false, &launched_);
    }
    return system_.RunElevated(launcher_, {ProgramPath(), "--config", IniPath()}, false, &launched_);
}

void CFirmwareServer::StopFirmwareServer() {
    // A launcher still asking for a password would otherwise start the server after all.
    if (LauncherRuns()) {
        ::kill(launched_, SIGTERM);
    }
    system_.KillProcessByPath(ProgramPath());
}

bool CFirmwareServer::LauncherRuns() {
    return launched_ != 0 && system_.ChildRuns(launched_);
}

bool CFirmwareServer::ProgramRuns() const {
    pid_t pid = 0;
    return COperateSystemInfo::FindProcessByPath(ProgramPath(), pid);
}

uint16_t CFirmwareServer::Port() const {
    std::string error;
    const std::optional<RelaydConfig> config = RelaydConfig::Load(IniPath(), error);
    return config ? config->port : RelaydConfig{}.port;
}

} // namespace rf
