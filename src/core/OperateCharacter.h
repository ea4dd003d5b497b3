#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rf {

// Text conversions at the device boundary. The local code page here is UTF-8, so converting between it and
// UTF-8 only replaces byte sequences that are not UTF-8 by U+FFFD, as a code-page conversion would.
class COperateCharacter {
public:
    static bool AnsiToUtf8(std::string_view text, std::string& output);
    static bool Utf8ToAnsi(std::string_view text, std::string& output);

    // The longest prefix of whole UTF-8 characters; true and the prefix in output when it has at least
    // two bytes, otherwise false and output untouched.
    static bool GetUtf8Prefix(std::string_view text, std::string& output);

    // Characters from U+4E00 to U+9FA5 in a UTF-8 text.
    static size_t CountCjk(std::string_view text);

    // For names and SSIDs received from a device (at most 32 bytes, possibly cut inside a character).
    static bool DeviceTextToLocal(std::string_view text, std::string& output);
    // For names and SSIDs sent to a device.
    static bool LocalTextToDevice(std::string_view text, std::string& output);
};

// True when every character is 0-9, a-f or A-F.
bool IsHexText(std::string_view text);
// True when every character is at most 127.
bool IsAsciiText(std::string_view text);
// The longest prefix whose size, counting a character from U+4E00 to U+9FA5 as 3 and any other as 1,
// is at most limit.
std::string TruncateToByteBudget(std::string_view text, size_t limit);

// One decoded character: its code point and its length in bytes; length 0 for a byte that does not start
// a valid UTF-8 sequence.
struct Utf8Char {
    char32_t codePoint = 0;
    size_t length = 0;
};
Utf8Char DecodeUtf8(std::string_view text, size_t pos);

inline bool IsCjk(char32_t c) {
    return c >= 0x4E00 && c <= 0x9FA5;
}

} // namespace rf
