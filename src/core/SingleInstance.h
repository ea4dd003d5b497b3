#pragma once

#include <string>

namespace rf {

// One running instance per user: an exclusive lock on a file named after the instance name, which the
// system releases when the process ends, however it ends.
class SingleInstance {
public:
    explicit SingleInstance(const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another instance holds the lock. When no lock file can be made at all the program
    // runs unguarded rather than not at all.
    bool IsFirst() const { return !heldElsewhere_; }
    const std::string& LockPath() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

} // namespace rf
