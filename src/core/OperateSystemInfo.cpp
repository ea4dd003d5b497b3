#include "core/OperateSystemInfo.h"

#include "core/ExeDirectory.h"
#include "core/Version.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace rf {

COperateSystemInfo::~COperateSystemInfo() {
    ReapChildren();
}

void COperateSystemInfo::GetFileVersionText(const std::string& filePath, std::string& text) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    char resolved[PATH_MAX];
    if (n <= 0 || ::realpath(filePath.c_str(), resolved) == nullptr ||
        std::string(self, static_cast<size_t>(n)) != resolved) {
        return;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", kVersionParts[0], kVersionParts[1], kVersionParts[2],
                  kVersionParts[3]);
    text = buffer;
}

namespace {

bool HasFileCapabilities(const std::string& program) {
    return ::getxattr(program.c_str(), "security.capability", nullptr, 0) > 0;
}

bool ExecutableName(pid_t pid, std::string& name) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%d/exe", static_cast<int>(pid));
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0) {
        return false;
    }
    std::string path(target, static_cast<size_t>(n));
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) {
        path.resize(path.size() - deleted.size());
    }
    name = path.substr(path.rfind('/') + 1);
    return true;
}

bool OwnedByCurrentUser(pid_t pid) {
    char dir[64];
    std::snprintf(dir, sizeof dir, "/proc/%d", static_cast<int>(pid));
    struct stat st {};
    return ::stat(dir, &st) == 0 && st.st_uid == ::geteuid();
}

bool ProcessGone(pid_t pid) {
    if (::kill(pid, 0) != 0) {
        return errno == ESRCH;
    }
    std::string name;
    return !ExecutableName(pid, name); // a zombie has no executable any more
}

// A server started without waiting has started for real when it is still running a little later: a
// refused pkexec or a program that cannot run ends at once. A child that ended is reaped here.
bool StaysRunning(pid_t pid) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 500ms;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t ended = ::waitpid(pid, nullptr, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR)) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

} // namespace

bool COperateSystemInfo::FindProcessByName(const std::string& name, pid_t& pid) {
    pid = 0;
    if (name.empty()) {
        return false;
    }
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return false;
    }
    const pid_t self = ::getpid();
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long id = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || id <= 0 || id == self) {
            continue;
        }
        std::string exe;
        if (OwnedByCurrentUser(static_cast<pid_t>(id)) && ExecutableName(static_cast<pid_t>(id), exe) &&
            exe == name) {
            pid = static_cast<pid_t>(id);
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

void COperateSystemInfo::KillProcessByName(const std::string& name) {
    using namespace std::chrono_literals;
    pid_t pid = 0;
    while (FindProcessByName(name, pid)) {
        if (::kill(pid, SIGTERM) != 0) {
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!ProcessGone(pid) && std::chrono::steady_clock::now() < deadline) {
            ReapChildren();
            std::this_thread::sleep_for(10ms);
        }
        if (!ProcessGone(pid) && ::kill(pid, SIGKILL) != 0) {
            return;
        }
        ReapChildren();
    }
    ReapChildren();
}

void COperateSystemInfo::ReapChildren() {
    std::lock_guard lock(childrenLock_);
    std::erase_if(children_, [](pid_t child) { return ::waitpid(child, nullptr, WNOHANG) != 0; });
}

bool COperateSystemInfo::RunElevated(const std::string& program, const std::vector<std::string>& parameters,
                                     bool wait) {
    ReapChildren();
    if (::access(program.c_str(), X_OK) != 0) {
        return false;
    }
    std::vector<std::string> argv;
    if (::geteuid() != 0 && !HasFileCapabilities(program)) {
        argv.emplace_back("pkexec");
    }
    argv.push_back(program);
    argv.insert(argv.end(), parameters.begin(), parameters.end());
    std::vector<char*> args;
    for (auto& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string directory = DirectoryOf(program);
    if (!directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    }
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return false;
    }
    if (wait) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0; // pkexec ends 126/127 when refused
    }
    if (!StaysRunning(pid)) {
        return false;
    }
    std::lock_guard lock(childrenLock_);
    children_.push_back(pid);
    return true;
}

} // namespace rf
