#pragma once

#include <chrono>
#include <csignal>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace rf::test {

// A program started by a test; killed and reaped when the test ends.
class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> args,
                 std::vector<std::string> extraEnv = {}) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargs;
        for (auto& a : argv) {
            cargs.push_back(a.data());
        }
        cargs.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            env.emplace_back(*e);
        }
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> cenv;
        for (auto& e : env) {
            cenv.push_back(e.data());
        }
        cenv.push_back(nullptr);
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, cargs.data(), cenv.data()) != 0) {
            pid_ = -1;
        }
    }
    ~ChildProcess() {
        if (pid_ > 0 && !exitStatus_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // The exit code once the process has ended within timeout; nullopt while it still runs.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!exitStatus_) {
            int status = 0;
            const pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitStatus_;
    }
    bool Running() { return !WaitExit(std::chrono::milliseconds(0)); }
    void Signal(int sig) { ::kill(pid_, sig); }

private:
    pid_t pid_ = -1;
    std::optional<int> exitStatus_;
};

} // namespace rf::test
