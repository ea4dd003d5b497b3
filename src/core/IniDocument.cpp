#include "core/IniDocument.h"

#include <fstream>
#include <sstream>

namespace rf {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Utf8Prefix(std::string_view text, size_t maxChars) {
    if (maxChars == 0) {
        return text;
    }
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (chars == maxChars) {
                return text.substr(0, i);
            }
            ++chars;
        }
    }
    return text;
}

namespace {

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniDocument::Line IniDocument::Classify(std::string text) {
    Line line;
    line.text = std::move(text);
    const auto trimmed = TrimBlanks(line.text);
    if (trimmed.empty() || trimmed.front() == ';') {
        return line;
    }
    if (trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        if (close != std::string_view::npos) {
            line.isHeader = true;
            line.section = std::string(TrimBlanks(trimmed.substr(1, close - 1)));
        }
        return line;
    }
    const auto eq = trimmed.find('=');
    if (eq != std::string_view::npos) {
        line.isEntry = true;
        line.key = std::string(TrimBlanks(trimmed.substr(0, eq)));
    }
    return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    IniDocument doc;
    while (!text.empty()) {
        auto end = text.find('\n');
        auto raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        doc.lines_.push_back(Classify(std::string(raw)));
    }
    return doc;
}

std::optional<IniDocument> IniDocument::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return Parse(content.str());
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key,
                                            size_t maxChars) const {
    bool inSection = false;
    bool seenSection = false;
    for (const auto& line : lines_) {
        if (line.isHeader) {
            if (seenSection && inSection) {
                return std::nullopt; // only the first section of that name counts
            }
            inSection = EqualsIgnoreAsciiCase(line.section, section);
            seenSection = seenSection || inSection;
        } else if (inSection && line.isEntry && EqualsIgnoreAsciiCase(line.key, key)) {
            const auto eq = line.text.find('=');
            const auto value = Unquote(TrimBlanks(std::string_view(line.text).substr(eq + 1)));
            return std::string(Utf8Prefix(value, maxChars));
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    bool inSection = false;
    bool seenSection = false;
    for (const auto& line : lines_) {
        if (line.isHeader) {
            if (seenSection && inSection) {
                break;
            }
            inSection = EqualsIgnoreAsciiCase(line.section, section);
            seenSection = seenSection || inSection;
        } else if (inSection && line.isEntry) {
            const auto eq = line.text.find('=');
            entries.emplace_back(
                line.key, std::string(Unquote(TrimBlanks(std::string_view(line.text).substr(eq + 1)))));
        }
    }
    return entries;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::optional<size_t> sectionEnd; // index after the last line of the first matching section
    bool inSection = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto& line = lines_[i];
        if (line.isHeader) {
            if (inSection) {
                break;
            }
            inSection = EqualsIgnoreAsciiCase(line.section, section);
            if (inSection) {
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (line.isEntry && EqualsIgnoreAsciiCase(line.key, key)) {
                line = Classify(entry);
                return;
            }
            if (!TrimBlanks(line.text).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    if (sectionEnd) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), Classify(entry));
        return;
    }
    lines_.push_back(Classify("[" + std::string(section) + "]"));
    lines_.push_back(Classify(entry));
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line.text;
        out += "\n";
    }
    return out;
}

} // namespace rf
