#pragma once

#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rf {

// Version, operating-system and process services.
class COperateSystemInfo {
public:
    // The kind for "any other platform": this is never Windows.
    static constexpr int kOsKindOther = 3;

    COperateSystemInfo() = default;
    ~COperateSystemInfo();
    COperateSystemInfo(const COperateSystemInfo&) = delete;
    COperateSystemInfo& operator=(const COperateSystemInfo&) = delete;

    bool IsWow64() const { return false; }
    int OsKind() const { return kOsKindOther; }

    // The program's own version, "%d.%d.%d.%d". Only this program's executable carries a version; for any
    // other file the text is left as it is.
    static void GetFileVersionText(const std::string& filePath, std::string& text);

    // Starts program with parameters, its working directory being the program's folder. Runs it directly
    // when we are root or when the program's file carries capabilities of its own, otherwise through
    // pkexec. With wait, returns when the program has ended: true when it exited with status 0 (pkexec
    // exits 126 or 127 when it is refused or not authorised). Without wait (a server that must keep
    // running): true when it is still running half a second after its start. False when it could not be
    // started at all.
    // started, when given, receives the id of the process started (pkexec's, when it asks).
    // streams, when given, become the program's standard input and output (pkexec passes them on), and
    // receive a pidfd of the process started, which stays valid when the process is reaped.
    struct StandardStreams {
        int input = -1;
        int output = -1;
        int pidfd = -1; // out
    };
    bool RunElevated(const std::string& program, const std::vector<std::string>& parameters, bool wait,
                     pid_t* started = nullptr, StandardStreams* streams = nullptr);
    // A process that RunElevated started without waiting is still there.
    bool ChildRuns(pid_t pid);

    // Ends every process of the current user whose executable file name equals name exactly. It stops early
    // when a process cannot be ended.
    void KillProcessByName(const std::string& name);
    // The first process of the current user whose executable file name equals name exactly.
    static bool FindProcessByName(const std::string& name, pid_t& pid);
    // As KillProcessByName, for the processes running the program at this path only (a server of another
    // installation, or of a test beside us, is left alone).
    void KillProcessByPath(const std::string& program);
    static bool FindProcessByPath(const std::string& program, pid_t& pid);

private:
    void ReapChildren();
    template <typename Find> void KillWhileFound(Find find);

    std::mutex childrenLock_;
    std::vector<pid_t> children_; // started without waiting; reaped once they end
};

} // namespace rf
