#pragma once

#include <string>
#include <string_view>

namespace rf {

// Reading and writing single values of INI files.
class COperateFileIni {
public:
    // The value of key in section of the file at path, or defaultValue when the file, the section or the key
    // is missing. Like a read into a buffer of bufferChars characters, at most bufferChars - 1 characters
    // of the value are kept.
    static std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view defaultValue, size_t bufferChars);

    // Writes one value. The file is rewritten in full into a new file beside it, which then replaces the old
    // one, so a reader never sees half a file. Returns whether the write succeeded.
    static bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                            const std::string& path);

    // Replaces the file's contents in the same way: a new file beside it takes its place, with its mode.
    static bool WriteWholeFile(const std::string& path, std::string_view text);
};

} // namespace rf
