#include "operations/UpgradeChecks.h"

#include "core/ServedFileName.h"
#include "protocol/CodeTables.h"

#include <algorithm>
#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace rf {

std::string CheckUpgradeCount(size_t count) {
    if (count == 0) {
        return "Please select the devices!";
    }
    if (count > kMaxUpgradeDevices) {
        return "Maximum selection of 10 devices!";
    }
    return {};
}

std::string CheckUpgradeFileName(const std::string& path) {
    if (path.empty()) {
        return "Please select the upgrade file!";
    }
    if (!path.ends_with(".bin") && !path.ends_with(".BIN")) {
        return "Upgrade file is not .bin file!";
    }
    return {};
}

std::optional<UpgradeFile> ReadUpgradeFile(const std::string& path, std::string& refusal) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    const bool measured = fd >= 0 && ::fstat(fd, &st) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!measured || !S_ISREG(st.st_mode)) {
        refusal = "The upgrade file cannot be read!";
        return std::nullopt;
    }
    if (st.st_size == 0) {
        refusal = "The upgrade file is empty!";
        return std::nullopt;
    }
    if (static_cast<uint64_t>(st.st_size) > std::numeric_limits<uint32_t>::max()) {
        refusal = "The upgrade file is too large!";
        return std::nullopt;
    }
    if (!IsServableFile(path)) {
        refusal = kUnservableFileKey;
        return std::nullopt;
    }
    // The server runs in a folder of its own: a relative folder would mean another one to it.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        refusal = "The upgrade file cannot be read!";
        return std::nullopt;
    }
    UpgradeFile file;
    file.folder = absolute.parent_path().string() + "/";
    file.name = absolute.filename().string();
    file.size = static_cast<uint32_t>(st.st_size);
    return file;
}

std::vector<UpgradeType> UpgradeTypes(const std::vector<SelectedDevice>& devices) {
    std::vector<UpgradeType> types;
    for (const SelectedDevice& device : devices) {
        const std::string text = ModelText(device.model);
        const bool listed =
            std::any_of(types.begin(), types.end(), [&](const UpgradeType& t) { return t.text == text; });
        if (!listed) {
            types.push_back({text, ModelCode(text)});
        }
    }
    return types;
}

std::optional<UpgradeType> FindUpgradeType(const std::vector<UpgradeType>& types, const std::string& text) {
    int32_t code = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), code);
    const bool isCode = ec == std::errc() && end == text.data() + text.size();
    for (const UpgradeType& type : types) {
        if (type.text == text || (isCode && type.model == code)) {
            return type;
        }
    }
    return std::nullopt;
}

} // namespace rf
