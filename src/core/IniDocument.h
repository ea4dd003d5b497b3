#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// An INI file read with the rules of the classic Windows profile functions: section and key names match
// regardless of ASCII case, the first matching section and key win, blanks around names and values are
// dropped, and one pair of enclosing quotes is removed from a value. Lines starting with ';' are comments.
class IniDocument {
public:
    IniDocument() = default;

    // Parses text (UTF-8, an optional byte-order mark is skipped).
    static IniDocument Parse(std::string_view text);
    // Reads and parses a file; nullopt when it cannot be read.
    static std::optional<IniDocument> Load(const std::string& path);

    // The value of key in section, at most maxChars characters (code points) long; nullopt when absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key, size_t maxChars = 0) const;

    // Replaces the first matching key, or adds it to the first matching section, or adds the section.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // All keys of a section in file order (names as written, values unquoted).
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    std::string Serialize() const;

private:
    struct Line {
        std::string text;    // the raw line without its end-of-line
        std::string section; // for a header: its name
        std::string key;     // for an entry: its trimmed name
        bool isHeader = false;
        bool isEntry = false;
    };

    static Line Classify(std::string text);
    std::vector<Line> lines_;
};

// Blanks (space, tab) removed from both ends.
std::string_view TrimBlanks(std::string_view text);
// ASCII letters compared without regard to case.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
// The first maxChars code points of a UTF-8 text (all of it when maxChars is 0).
std::string_view Utf8Prefix(std::string_view text, size_t maxChars);

} // namespace rf
