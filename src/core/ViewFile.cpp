#include "core/ViewFile.h"

#include "core/OperateFileIni.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace rf {

namespace {

// An absolute folder named by an environment variable, or empty.
std::string FolderFromEnvironment(const char* name) {
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read at start-up
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

} // namespace

std::string ViewFilePath() {
    std::string base = FolderFromEnvironment("XDG_CONFIG_HOME");
    if (base.empty()) {
        base = FolderFromEnvironment("HOME");
        if (base.empty()) {
            return {};
        }
        base += "/.config";
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
        problem = "cannot be read: " + std::error_code(errno, std::generic_category()).message();
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
