#include "core/ViewFile.h"

#include "core/OperateFileIni.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace rf {

std::string ViewFilePath() {
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    return base + "/radiofleet/view.ini";
}

ViewState ReadViewFile(const std::string& path, std::string& problem) {
    problem.clear();
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return {};
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        problem = "is not a file";
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return {};
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::optional<ViewState> state = ParseViewState(text);
    if (!state) {
        problem = "is damaged";
        return {};
    }
    return *state;
}

bool WriteViewFile(const std::string& path, const ViewState& state) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (std::filesystem::create_directories(folder, error)) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    }
    return COperateFileIni::WriteWholeFile(path, FormatViewState(state));
}

} // namespace rf
