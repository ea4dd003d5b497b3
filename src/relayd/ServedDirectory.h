#pragma once

#include "relayd/TftpPacket.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rf {

// The one directory the server reads from. Files are opened relative to a descriptor of it and never
// through a symbolic link, so nothing outside it is ever read.
class CServedDirectory {
public:
    struct OpenedFile {
        int fd = -1; // owned by the caller when valid
        uint64_t size = 0;
        tftp::ErrorCode error = tftp::kNotDefined;
        const char* message = "";

        bool Ok() const { return fd >= 0; }
    };

    CServedDirectory() = default;
    ~CServedDirectory();
    CServedDirectory(const CServedDirectory&) = delete;
    CServedDirectory& operator=(const CServedDirectory&) = delete;

    // Opens the directory; false with errno set when it is missing or not a directory.
    bool Open(const std::string& path);
    // A regular file lying directly in the directory, opened for reading.
    OpenedFile OpenFile(std::string_view name) const;

private:
    int dirFd_ = -1;
};

} // namespace rf
