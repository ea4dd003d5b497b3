#include "core/OperateSystemInfo.h"

#include "core/ExeDirectory.h"
#include "core/Version.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

bool ExecutablePath(pid_t pid, std::string& path) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%d/exe", static_cast<int>(pid));
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0) {
        return false;
    }
    path.assign(target, static_cast<size_t>(n));
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) {
        path.resize(path.size() - deleted.size());
    }
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
    std::string path;
    return !ExecutablePath(pid, path); // a zombie has no executable any more
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

namespace {

// The first other process of the current user whose executable path passes matches.
template <typename Matches> bool FindProcess(Matches matches, pid_t& pid) {
    pid = 0;
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
        if (OwnedByCurrentUser(static_cast<pid_t>(id)) && ExecutablePath(static_cast<pid_t>(id), exe) &&
            matches(exe)) {
            pid = static_cast<pid_t>(id);
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

} // namespace

bool COperateSystemInfo::FindProcessByName(const std::string& name, pid_t& pid) {
    pid = 0;
    return !name.empty() &&
           FindProcess([&](const std::string& exe) { return exe.substr(exe.rfind('/') + 1) == name; }, pid);
}

bool COperateSystemInfo::FindProcessByPath(const std::string& program, pid_t& pid) {
    pid = 0;
    char resolved[PATH_MAX];
    if (::realpath(program.c_str(), resolved) == nullptr) {
        return false;
    }
    const std::string wanted = resolved;
    return FindProcess([&](const std::string& exe) { return exe == wanted; }, pid);
}

template <typename Find> void COperateSystemInfo::KillWhileFound(Find find) {
    using namespace std::chrono_literals;
    pid_t pid = 0;
    while (find(pid)) {
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

void COperateSystemInfo::KillProcessByName(const std::string& name) {
    KillWhileFound([&](pid_t& pid) { return FindProcessByName(name, pid); });
}

void COperateSystemInfo::KillProcessByPath(const std::string& program) {
    KillWhileFound([&](pid_t& pid) { return FindProcessByPath(program, pid); });
}

void COperateSystemInfo::ReapChildren() {
    std::lock_guard lock(childrenLock_);
    std::erase_if(children_, [](pid_t child) { return ::waitpid(child, nullptr, WNOHANG) != 0; });
}

bool COperateSystemInfo::ChildRuns(pid_t pid) {
    std::lock_guard lock(childrenLock_);
    const auto child = std::find(children_.begin(), children_.end(), pid);
    if (child == children_.end()) {
        return false;
    }
    if (::waitpid(pid, nullptr, WNOHANG) == 0) {
        return true;
    }
    children_.erase(child);
    return false;
}

bool COperateSystemInfo::RunElevated(const std::string& program, const std::vector<std::string>& parameters,
                                     bool wait, pid_t* started, StandardStreams* streams) {
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
    if (streams != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, streams->input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, streams->output, STDOUT_FILENO);
    }
    // The program starts with no signal blocked and default handlers, whatever the caller blocks (the
    // command-line tool blocks termination signals to notice them itself); otherwise it could not be
    // ended by SIGTERM.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return false;
    }
    if (streams != nullptr) {
        streams->pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
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
    if (started != nullptr) {
        *started = pid;
    }
    std::lock_guard lock(childrenLock_);
    children_.push_back(pid);
    return true;
}

} // namespace rf
