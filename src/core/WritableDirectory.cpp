#include "core/WritableDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace rf {

namespace {

bool IsWritableDirectory(const std::string& directory) {
    struct stat info {};
    return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(directory.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> EnvironmentDirectory(const char* name, const char* suffix) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value) + suffix;
}

// Makes "<base>/radiofleet/" for this user alone; nullopt when that cannot be done.
std::optional<std::string> PrivateSubdirectory(const std::string& base, bool makeBase) {
    if (makeBase) {
        ::mkdir(base.c_str(), 0700);
    }
    if (!IsWritableDirectory(base)) {
        return std::nullopt;
    }
    const std::string directory = base + "/radiofleet";
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() ||
        !IsWritableDirectory(directory)) {
        return std::nullopt;
    }
    return directory + "/";
}

} // namespace

std::string ChooseWritableDirectory(const std::string& preferred) {
    if (IsWritableDirectory(preferred)) {
        return preferred;
    }
    struct Candidate {
        std::optional<std::string> base;
        bool makeBase;
    };
    // The runtime directory belongs to the session manager; only a cache directory may be made here.
    const Candidate candidates[] = {{EnvironmentDirectory("XDG_RUNTIME_DIR", ""), false},
                                    {EnvironmentDirectory("XDG_CACHE_HOME", ""), true},
                                    {EnvironmentDirectory("HOME", "/.cache"), true}};
    for (const auto& candidate : candidates) {
        if (!candidate.base) {
            continue;
        }
        if (auto directory = PrivateSubdirectory(*candidate.base, candidate.makeBase)) {
            return *directory;
        }
    }
    return preferred;
}

} // namespace rf
