#include "relayd/RelaydMessage.h"

#include "relayd/TftpRequest.h"

#include <array>

namespace rf {

namespace {

constexpr std::array<std::string_view, 7> kNames = {"allow", "started", "listening", "progress",
                                                    "done",  "failed",  "error"};

bool NeedsEscape(unsigned char c) {
    return c <= 0x20 || c == 0x7F || c == '%';
}

std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const auto high = i + 2 < text.size() ? HexDigit(text[i + 1]) : std::nullopt;
        const auto low = i + 2 < text.size() ? HexDigit(text[i + 2]) : std::nullopt;
        if (!high || !low) {
            return std::nullopt;
        }
        out += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return out;
}

// Free text on one line: controls (a line break among them) become '?'.
std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return out;
}

// The words of line separated by single blanks, and the rest of the line after the first count words.
std::vector<std::string_view> Words(std::string_view line, size_t count, std::string_view* rest) {
    std::vector<std::string_view> words;
    while (!line.empty() && words.size() < count) {
        const size_t gap = line.find(' ');
        words.push_back(line.substr(0, gap));
        line = gap == std::string_view::npos ? std::string_view{} : line.substr(gap + 1);
    }
    if (rest != nullptr) {
        *rest = line;
    }
    return words;
}

bool ReadNumber(std::string_view text, uint64_t& number) {
    const auto value = tftp::ParseDecimal(text);
    if (!value) {
        return false;
    }
    number = *value;
    return true;
}

// Address and file, the words every transfer line starts with.
bool ReadTransfer(const std::vector<std::string_view>& words, RelaydMessage& message) {
    auto file = words.size() >= 3 ? Unescape(words[2]) : std::nullopt;
    if (!file || words[1].empty() || file->empty()) {
        return false;
    }
    message.address = words[1];
    message.file = std::move(*file);
    return true;
}

bool ReadFields(std::string_view line, RelaydMessage& message) {
    using Kind = RelaydMessage::Kind;
    std::string_view rest;
    switch (message.kind) {
    case Kind::Allow:
        for (const auto word : Words(line, SIZE_MAX, nullptr)) {
            message.addresses.emplace_back(word);
        }
        message.addresses.erase(message.addresses.begin());
        return true;
    case Kind::Started:
        return line == "started";
    case Kind::Listening: {
        const auto words = Words(line, 3, nullptr);
        uint64_t port = 0;
        if (words.size() != 2 || !ReadNumber(words[1], port) || port == 0 || port > 65535) {
            return false;
        }
        message.port = static_cast<uint16_t>(port);
        return true;
    }
    case Kind::Progress: {
        const auto words = Words(line, 6, nullptr);
        return words.size() == 5 && ReadTransfer(words, message) && ReadNumber(words[3], message.bytes) &&
               ReadNumber(words[4], message.total);
    }
    case Kind::Done:
        return Words(line, 4, nullptr).size() == 3 && ReadTransfer(Words(line, 3, nullptr), message);
    case Kind::Failed:
        if (!ReadTransfer(Words(line, 3, &rest), message)) {
            return false;
        }
        message.text = rest;
        return true;
    case Kind::Error:
        Words(line, 1, &rest);
        message.text = rest;
        return true;
    }
    return false;
}

} // namespace

std::string RelaydMessage::Format() const {
    std::string line(kNames[static_cast<size_t>(kind)]);
    switch (kind) {
    case Kind::Allow:
        for (const std::string& each : addresses) {
            line += ' ' + OneLine(each);
        }
        break;
    case Kind::Started:
        break;
    case Kind::Listening:
        line += ' ' + std::to_string(port);
        break;
    case Kind::Progress:
        line += ' ' + Escape(address) + ' ' + Escape(file) + ' ' + std::to_string(bytes) + ' ' +
                std::to_string(total);
        break;
    case Kind::Done:
        line += ' ' + Escape(address) + ' ' + Escape(file);
        break;
    case Kind::Failed:
        line += ' ' + Escape(address) + ' ' + Escape(file) + ' ' + OneLine(text);
        break;
    case Kind::Error:
        line += ' ' + OneLine(text);
        break;
    }
    return line + '\n';
}

std::optional<RelaydMessage> RelaydMessage::Parse(std::string_view line) {
    const std::string_view name = line.substr(0, line.find(' '));
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] != name) {
            continue;
        }
        RelaydMessage message;
        message.kind = static_cast<Kind>(i);
        if (!ReadFields(line, message)) {
            return std::nullopt;
        }
        return message;
    }
    return std::nullopt;
}

} // namespace rf
