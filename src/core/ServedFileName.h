#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rf {

// The firmware server hands out only files that lie directly in the folder it serves, asked for by a
// plain name. The server keeps to this rule, and whoever offers a file to the devices checks it first,
// so that no device is sent a name that it will then be refused.

// The longest name a device may ask for.
inline constexpr size_t kMaxServedNameLength = 255;

// The language key of the message that refuses a firmware file the server would not serve.
inline constexpr const char* kUnservableFileKey =
    "The firmware server cannot serve this file: its name must be at most 255 bytes long without \"..\", "
    "and it must be a file directly in its folder, not a link!";

// 1 to 255 bytes, with no "/", "\\", ".." and no control characters.
bool IsServableFileName(std::string_view name);

// The file at path can be served from its folder: its name passes IsServableFileName and the path names
// a regular file itself, not a symbolic link to one.
bool IsServableFile(const std::string& path);

} // namespace rf
