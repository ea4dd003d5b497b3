#include "relayd/FirmwareServer.h"

#include "core/ExeDirectory.h"
#include "core/OperateFileIni.h"
#include "core/WritableDirectory.h"

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
                                 std::string programName, std::string settingsDirectory)
    : system_(system),
      serviceDirectory_((programDirectory.empty() ? GetExeDirectory() : programDirectory) + "service/"),
      programName_(std::move(programName)),
      settingsDirectory_(settingsDirectory.empty() ? ChooseWritableDirectory(serviceDirectory_)
                                                   : std::move(settingsDirectory)) {}

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
    return system_.RunElevated(ProgramPath(), {"--config", IniPath()}, false);
}

void CFirmwareServer::StopFirmwareServer() {
    system_.KillProcessByPath(ProgramPath());
}

} // namespace rf
