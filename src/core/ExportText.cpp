#include "core/ExportText.h"

#include "core/OperateCharacter.h"

#include <cstdio>

namespace rf {
namespace {

constexpr std::string_view kReplacementCharacter = "\xef\xbf\xbd"; // U+FFFD
constexpr std::string_view kCsvLineEnd = "\r\n";

std::string Hex4(unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    return buffer;
}

// Appends text's characters, each whole UTF-8 character through keep, each other byte through bad.
template <typename Keep, typename Bad> std::string MapUtf8(std::string_view text, Keep keep, Bad bad) {
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8(text, pos);
        if (c.length == 0) {
            out += bad();
            ++pos;
            continue;
        }
        out += keep(c.codePoint, text.substr(pos, c.length));
        pos += c.length;
    }
    return out;
}

std::string JsonObject(const std::vector<std::string>& names, const std::vector<std::string>& values) {
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        out += (out.empty() ? "{" : ",") + JsonText(names[i]) + ":" +
               JsonText(i < values.size() ? values[i] : std::string());
    }
    return out.empty() ? "{}" : out + "}";
}

} // namespace

std::string JsonText(std::string_view text) {
    const auto keep = [](char32_t c, std::string_view bytes) -> std::string {
        switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        default:
            return c < 0x20 || c == 0x7f ? Hex4(static_cast<unsigned>(c)) : std::string(bytes);
        }
    };
    return "\"" + MapUtf8(text, keep, [] { return std::string("\\ufffd"); }) + "\"";
}

std::string CsvText(std::string_view text) {
    std::string utf8 = MapUtf8(
        text, [](char32_t, std::string_view bytes) { return std::string(bytes); },
        [] { return std::string(kReplacementCharacter); });
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        return utf8;
    }
    std::string quoted = "\"";
    for (const char c : utf8) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string PrintableText(std::string_view text) {
    const auto keep = [](char32_t c, std::string_view bytes) -> std::string {
        return c < 0x20 || (c >= 0x7f && c < 0xa0) ? std::string("?") : std::string(bytes);
    };
    return MapUtf8(text, keep, [] { return std::string("?"); });
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        out += (i == 0 ? "" : ",") + CsvText(fields[i]);
    }
    return out + std::string(kCsvLineEnd);
}

std::string CsvTable(const std::vector<std::string>& names,
                     const std::vector<std::vector<std::string>>& rows) {
    std::string out = CsvLine(names);
    for (const auto& row : rows) {
        out += CsvLine(row);
    }
    return out;
}

std::string JsonTable(const std::vector<std::string>& names,
                      const std::vector<std::vector<std::string>>& rows) {
    std::string out = "[";
    for (size_t i = 0; i < rows.size(); ++i) {
        out += (i == 0 ? "\n" : ",\n") + JsonObject(names, rows[i]);
    }
    return out + "\n]\n";
}

} // namespace rf
