#include "relayd/RelaydConfig.h"

#include "core/OperateFileIni.h"
#include "relayd/TftpRequest.h"

#include <climits>

namespace rf {

std::optional<RelaydConfig> RelaydConfig::Load(const std::string& iniPath, std::string& error) {
    RelaydConfig config;
    config.directory = COperateFileIni::ReadString(iniPath, "SERVER", "Directory", "", PATH_MAX);
    if (config.directory.empty()) {
        error = "no directory to serve: set key Directory in section [SERVER] of " + iniPath;
        return std::nullopt;
    }
    const std::string port = COperateFileIni::ReadString(iniPath, "SERVER", "Port", "69", 16);
    const auto number = tftp::ParseDecimal(port);
    if (!number || *number == 0 || *number > 65535) {
        error = "invalid Port \"" + port + "\" in " + iniPath;
        return std::nullopt;
    }
    config.port = static_cast<uint16_t>(*number);
    return config;
}

} // namespace rf
