#include "relayd/ServedDirectory.h"

#include "core/ServedFileName.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace rf {

CServedDirectory::~CServedDirectory() {
    if (dirFd_ >= 0) {
        ::close(dirFd_);
    }
}

bool CServedDirectory::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (dirFd_ >= 0) {
        ::close(dirFd_);
    }
    dirFd_ = fd;
    return true;
}

CServedDirectory::OpenedFile CServedDirectory::OpenFile(std::string_view name) const {
    OpenedFile result;
    if (!IsServableFileName(name)) {
        result.error = tftp::kAccessViolation;
        result.message = "Access violation";
        return result;
    }
    const std::string path(name);
    // Look before opening, so that a device or a FIFO is never opened at all.
    struct stat st {};
    if (::fstatat(dirFd_, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result.error = errno == ENOENT ? tftp::kFileNotFound : tftp::kAccessViolation;
        result.message = errno == ENOENT ? "File not found" : "Access violation";
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = tftp::kAccessViolation;
        result.message = "Not a regular file";
        return result;
    }
    const int fd = ::openat(dirFd_, path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno == ENOENT ? tftp::kFileNotFound : tftp::kAccessViolation;
        result.message = errno == ENOENT ? "File not found" : "Access violation";
        return result;
    }
    // The name may have been replaced between the look and the open.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = tftp::kAccessViolation;
        result.message = "Not a regular file";
        return result;
    }
    result.fd = fd;
    result.size = static_cast<uint64_t>(st.st_size);
    return result;
}

} // namespace rf
