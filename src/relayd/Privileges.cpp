#include "relayd/Privileges.h"

#include "relayd/TftpRequest.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace rf {

namespace {

bool BecomeUser(uid_t uid, std::string& error) {
    const passwd* user = ::getpwuid(uid);
    const gid_t gid = user != nullptr ? user->pw_gid : static_cast<gid_t>(uid);
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
        error = std::string("cannot switch to the calling user: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool ClearCapabilities(std::string& error) {
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capset, &header, data) != 0) {
        error = std::string("cannot drop capabilities: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool CallerMayNameSettings(const std::string& iniPath, std::string& error) {
    const char* pkexecUid = std::getenv("PKEXEC_UID"); // NOLINT(concurrency-mt-unsafe): before any thread
    if (::getuid() != 0 || pkexecUid == nullptr) {
        return true;
    }
    const auto uid = tftp::ParseDecimal(pkexecUid);
    struct stat info {};
    if (uid && ::stat(iniPath.c_str(), &info) == 0 && info.st_uid == *uid) {
        return true;
    }
    error = "the settings file must belong to the user who started the server";
    return false;
}

bool DropPrivileges(std::string& error) {
    const char* pkexecUid = std::getenv("PKEXEC_UID");
    if (::getuid() == 0) {
        if (pkexecUid == nullptr) {
            return true; // root by the user's own choice
        }
        const auto uid = tftp::ParseDecimal(pkexecUid);
        if (!uid || *uid == 0 || *uid > UINT32_MAX) {
            return true;
        }
        if (!BecomeUser(static_cast<uid_t>(*uid), error)) {
            return false;
        }
    } else if (!ClearCapabilities(error)) {
        return false;
    }
    // Capabilities from the file made the process undumpable, which hides it in /proc from its own user.
    ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    return true;
}

} // namespace rf
