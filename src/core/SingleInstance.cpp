#include "core/SingleInstance.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace rf {

namespace {

std::string LockDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR"); // NOLINT(concurrency-mt-unsafe): start-up only
    if (runtime != nullptr && *runtime == '/' && ::access(runtime, W_OK) == 0) {
        return std::string(runtime) + "/";
    }
    return "/tmp/";
}

} // namespace

SingleInstance::SingleInstance(const std::string& name)
    : path_(LockDirectory() + name + "-" + std::to_string(::geteuid()) + ".lock") {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere_ = true;
        ::close(fd);
        return;
    }
    fd_ = fd;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

} // namespace rf
