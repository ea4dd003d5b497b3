#include "core/RunFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rf {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLockName = "lock";

bool OwnFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

// True when the lock of the run in folder could be taken: its process is gone. A folder still without
// its lock is being made and is left alone.
bool RunIsDead(const fs::path& folder, int& lock) {
    lock = ::open((folder / kLockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (lock < 0) {
        return false;
    }
    if (::flock(lock, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    ::close(lock);
    lock = -1;
    return false;
}

std::string ProcessBase() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR"); // NOLINT(concurrency-mt-unsafe): read only
    if (runtime != nullptr && *runtime == '/' && ::access(runtime, W_OK | X_OK) == 0) {
        return runtime;
    }
    std::error_code error;
    return fs::temp_directory_path(error).string();
}

} // namespace

CRunFolder::CRunFolder(const std::string& base) {
    RemoveDeadRuns(base);
    if (!Make(base)) {
        path_.clear();
    }
}

CRunFolder::~CRunFolder() {
    if (!path_.empty()) {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

CRunFolder& CRunFolder::Process() {
    static CRunFolder folder(ProcessBase());
    return folder;
}

void CRunFolder::RemoveDeadRuns(const std::string& base) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(base, error)) {
        const fs::path& folder = entry.path();
        int lock = -1;
        if (folder.filename().string().starts_with(kPrefix) && OwnFolder(folder) && RunIsDead(folder, lock)) {
            fs::remove_all(folder, error);
            ::close(lock);
        }
    }
}

// The lock is taken under another name and then put in place, so that nobody finds it free meanwhile.
bool CRunFolder::Make(const std::string& base) {
    std::string pattern = (fs::path(base) / kPrefix).string() + "XXXXXX";
    if (base.empty() || ::mkdtemp(pattern.data()) == nullptr) {
        return false;
    }
    path_ = pattern + "/";
    const std::string taking = path_ + kLockName + ".new";
    lock_ = ::open(taking.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX) != 0 ||
        ::rename(taking.c_str(), (path_ + kLockName).c_str()) != 0) {
        std::error_code error;
        fs::remove_all(path_, error);
        return false;
    }
    return true;
}

} // namespace rf
