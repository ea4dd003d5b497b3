#include "core/OperateCharacter.h"

namespace rf {

Utf8Char DecodeUtf8(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        return {lead, 1};
    }
    size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (pos + length > text.size()) {
        return {};
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return {};
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {};
    }
    return {cp, length};
}

namespace {

// Copies text, replacing every byte that does not start a valid sequence by U+FFFD.
std::string Sanitized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const auto c = DecodeUtf8(text, pos);
        if (c.length == 0) {
            out += "\xEF\xBF\xBD";
            ++pos;
        } else {
            out.append(text.substr(pos, c.length));
            pos += c.length;
        }
    }
    return out;
}

} // namespace

bool COperateCharacter::AnsiToUtf8(std::string_view text, std::string& output) {
    output = Sanitized(text);
    return true;
}

bool COperateCharacter::Utf8ToAnsi(std::string_view text, std::string& output) {
    output = Sanitized(text);
    return true;
}

bool COperateCharacter::GetUtf8Prefix(std::string_view text, std::string& output) {
    size_t pos = 0;
    while (pos < text.size()) {
        const auto c = DecodeUtf8(text, pos);
        if (c.length == 0) {
            break;
        }
        pos += c.length;
    }
    if (pos < 2) {
        return false;
    }
    output.assign(text.substr(0, pos));
    return true;
}

size_t COperateCharacter::CountCjk(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size();) {
        const auto c = DecodeUtf8(text, pos);
        if (c.length == 0) {
            ++pos;
            continue;
        }
        count += IsCjk(c.codePoint) ? 1 : 0;
        pos += c.length;
    }
    return count;
}

bool COperateCharacter::DeviceTextToLocal(std::string_view text, std::string& output) {
    if (IsAsciiText(text)) {
        output.assign(text);
        return true;
    }
    std::string prefix;
    if (GetUtf8Prefix(text.substr(0, 32), prefix)) {
        return Utf8ToAnsi(prefix, output);
    }
    return Utf8ToAnsi(text, output);
}

bool COperateCharacter::LocalTextToDevice(std::string_view text, std::string& output) {
    if (CountCjk(text) > 0) {
        return AnsiToUtf8(text, output);
    }
    output.assign(text);
    return true;
}

bool IsHexText(std::string_view text) {
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) {
            return false;
        }
    }
    return true;
}

bool IsAsciiText(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 127) {
            return false;
        }
    }
    return true;
}

std::string TruncateToByteBudget(std::string_view text, size_t limit) {
    size_t used = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        auto c = DecodeUtf8(text, pos);
        const size_t length = c.length == 0 ? 1 : c.length;
        const size_t cost = (c.length != 0 && IsCjk(c.codePoint)) ? 3 : 1;
        if (used + cost > limit) {
            break;
        }
        used += cost;
        pos += length;
    }
    return std::string(text.substr(0, pos));
}

} // namespace rf
