#include "core/ServedFileName.h"

#include <sys/stat.h>

namespace rf {

bool IsServableFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxServedNameLength || name.find("..") != std::string_view::npos) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\') {
            return false;
        }
    }
    return true;
}

bool IsServableFile(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string_view name =
        slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    struct stat st {};
    return IsServableFileName(name) && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace rf
