#pragma once

#include <string>

namespace rf {

// A private folder for what one run of the program keeps while it runs (the device store with the
// radios' keys, the firmware server's settings), named "radiofleet-run-XXXXXX" under a base folder. A
// lock file inside stays locked while the process lives, so the folder of a run that was killed is told
// apart from one in use: making a new one first removes this user's folders whose lock is free.
class CRunFolder {
public:
    static constexpr const char* kPrefix = "radiofleet-run-";

    // Under base ("/" at the end or not); Path() is empty when no folder could be made.
    explicit CRunFolder(const std::string& base);
    // Removes the folder and what it holds.
    ~CRunFolder();
    CRunFolder(const CRunFolder&) = delete;
    CRunFolder& operator=(const CRunFolder&) = delete;

    // The folder of this process, under $XDG_RUNTIME_DIR when it is usable, otherwise the temporary
    // folder; made on first use, removed at exit.
    static CRunFolder& Process();
    // Removes the run folders under base that belong to this user and whose process is gone.
    static void RemoveDeadRuns(const std::string& base);

    // Ends in "/".
    const std::string& Path() const { return path_; }

private:
    bool Make(const std::string& base);

    std::string path_;
    int lock_ = -1;
};

} // namespace rf
