#include "core/OperateFileIni.h"

#include "core/IniDocument.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rf {

std::string COperateFileIni::ReadString(const std::string& path, std::string_view section,
                                        std::string_view key, std::string_view defaultValue,
                                        size_t bufferChars) {
    const size_t maxChars = bufferChars > 1 ? bufferChars - 1 : 1;
    const auto doc = IniDocument::Load(path);
    if (doc) {
        if (auto value = doc->Get(section, key, maxChars)) {
            return *value;
        }
    }
    return std::string(Utf8Prefix(TrimBlanks(defaultValue), maxChars));
}

namespace {

bool WriteAll(int fd, std::string_view data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool COperateFileIni::WriteString(std::string_view section, std::string_view key, std::string_view value,
                                  const std::string& path) {
    if (section.empty() || key.empty() || key.find('=') != std::string_view::npos ||
        value.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    auto doc = IniDocument::Load(path).value_or(IniDocument());
    doc.Set(section, key, value);
    return WriteWholeFile(path, doc.Serialize());
}

bool COperateFileIni::WriteWholeFile(const std::string& path, std::string_view text) {
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace rf
