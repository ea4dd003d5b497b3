#include "core/ExeDirectory.h"

#include <climits>
#include <unistd.h>

namespace rf {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const std::string& GetExeDirectory() {
    static const std::string directory = [] {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) {
            return std::string("./");
        }
        return DirectoryOf(std::string(buffer, static_cast<size_t>(n)));
    }();
    return directory;
}

} // namespace rf
