#pragma once

#include "core/OperateSystemInfo.h"
#include "relayd/RelaydMessage.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rf {

// One firmware server that this process started, and the channels to it: its standard input carries our
// commands and keeps it alive (it ends when the input closes, so also when we are killed), its standard
// output brings its status lines, read on a thread of our own. Only this process is ever signalled,
// through a pidfd, never another program's server.
class CRelaydProcess {
public:
    // Hears every status line, on the reading thread.
    using Listener = std::function<void(const RelaydMessage&)>;
    // How long the server has to leave once its input closed, and again after SIGTERM.
    static constexpr std::chrono::milliseconds kLeaveTime{3000};

    explicit CRelaydProcess(COperateSystemInfo& system, Listener listener = {});
    // Ends the server.
    ~CRelaydProcess();
    CRelaydProcess(const CRelaydProcess&) = delete;
    CRelaydProcess& operator=(const CRelaydProcess&) = delete;

    // Starts program with arguments as RunElevated does (through pkexec when needed). False when it could
    // not be started or ended at once.
    bool Start(const std::string& program, const std::vector<std::string>& arguments);
    // Sends a command line; false when the server is gone.
    bool Send(const RelaydMessage& command);
    // Closes the server's input, waits for it to leave, and signals it only when it does not.
    void End();

    // The process started (pkexec, and then the server in its place) is still there.
    bool Runs() const;
    // The server itself has said that it runs.
    bool Started() const;
    // The port it said it serves on, once it has.
    std::optional<uint16_t> Port() const;
    // The last line it wrote about each client address.
    std::map<std::string, RelaydMessage> Transfers() const;

private:
    void Read(const std::stop_token& stop, int statusFd);
    void ReadLines(const std::stop_token& stop, int statusFd, int wake);
    void Take(const RelaydMessage& message);
    bool WaitExit(std::chrono::milliseconds time) const;
    void Signal(int signal) const;

    COperateSystemInfo& system_;
    Listener listener_;
    int input_ = -1; // our end of the server's standard input
    int pidfd_ = -1;
    pid_t pid_ = 0;
    mutable std::mutex mutex_; // guards the status below
    bool started_ = false;
    std::optional<uint16_t> port_;
    std::map<std::string, RelaydMessage> transfers_;
    std::jthread reader_; // last: ends before what it uses
};

} // namespace rf
