#include "relayd/FirmwareServer.h"

#include "core/ExeDirectory.h"
#include "core/OperateFileIni.h"
#include "core/RunFolder.h"
#include "relayd/RelaydConfig.h"

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
      programName_(std::move(programName)), settingsDirectory_(std::move(settingsDirectory)),
      launcher_(std::move(launcher)) {
    if (settingsDirectory_.empty()) {
        settingsDirectory_ = CRunFolder::Process().Path();
    }
}

std::string CFirmwareServer::ProgramPath() const {
    return serviceDirectory_ + programName_;
}

std::string CFirmwareServer::IniPath() const {
    return settingsDirectory_ + kIniName;
}

// Made afresh from the settings beside the server at every start.
bool CFirmwareServer::SeedSettings() const {
    namespace fs = std::filesystem;
    const fs::path own = IniPath();
    const fs::path beside = serviceDirectory_ + kIniName;
    std::error_code error;
    if (own == beside) {
        return true;
    }
    fs::remove(own, error);
    return !fs::is_regular_file(beside, error) ||
           fs::copy_file(beside, own, fs::copy_options::overwrite_existing, error);
}

bool CFirmwareServer::StartFirmwareServer(const std::string& firmwareDirectory,
                                          const std::vector<std::string>& addresses) {
    StopFirmwareServer();
    if (firmwareDirectory.empty() || HasControlCharacters(firmwareDirectory) || settingsDirectory_.empty() ||
        !SeedSettings() ||
        !COperateFileIni::WriteString("SERVER", "Directory", IniValueFor(firmwareDirectory), IniPath())) {
        return false;
    }
    std::vector<std::string> arguments{ProgramPath(), "--config", IniPath(), "--control"};
    std::string program = launcher_;
    if (launcher_.empty()) {
        program = ProgramPath();
        arguments.erase(arguments.begin());
    }
    process_ = std::make_unique<CRelaydProcess>(system_);
    // Written at once: the pipe keeps the command while a password prompt holds the server back.
    return process_->Start(program, arguments) && AllowAddresses(addresses);
}

bool CFirmwareServer::AllowAddresses(const std::vector<std::string>& addresses) {
    return process_ && process_->Send({.kind = RelaydMessage::Kind::Allow, .addresses = addresses});
}

void CFirmwareServer::StopFirmwareServer() {
    process_.reset();
}

bool CFirmwareServer::LauncherRuns() {
    return process_ && process_->Runs();
}

bool CFirmwareServer::ProgramRuns() const {
    return process_ && process_->Started() && process_->Runs();
}

std::map<std::string, RelaydMessage> CFirmwareServer::Transfers() const {
    return process_ ? process_->Transfers() : std::map<std::string, RelaydMessage>{};
}

uint16_t CFirmwareServer::Port() const {
    if (const auto reported = process_ ? process_->Port() : std::nullopt) {
        return *reported;
    }
    std::string error;
    const std::optional<RelaydConfig> config = RelaydConfig::Load(IniPath(), error);
    return config ? config->port : RelaydConfig{}.port;
}

} // namespace rf
