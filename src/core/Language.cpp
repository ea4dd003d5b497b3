#include "core/Language.h"

#include "core/IniDocument.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace rf {

namespace {

constexpr size_t kValueChars = 1023;

struct LanguageState {
    std::string directory = "./";
    std::uint16_t languageId = 1033;
    std::uint16_t idOverride = 0;
    std::string languageName = "English";
    std::string filePath;
    // lower-cased key -> value; the first occurrence of a key wins
    std::unordered_map<std::string, std::string> texts;
};

std::mutex& StateLock() {
    static std::mutex lock;
    return lock;
}
LanguageState& State() {
    static LanguageState state;
    return state;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

struct LocaleId {
    const char* locale;
    std::uint16_t id;
};

// Full locale names first, then the language alone.
constexpr std::array kLocaleIds{
    LocaleId{"zh_CN", 2052}, LocaleId{"zh_SG", 2052}, LocaleId{"zh_TW", 1028}, LocaleId{"zh_HK", 3076},
    LocaleId{"zh_MO", 5124}, LocaleId{"en_GB", 1033}, LocaleId{"pt_BR", 1046}, LocaleId{"pt_PT", 2070},
    LocaleId{"fr_CA", 3084}, LocaleId{"es_MX", 2058}, LocaleId{"de_AT", 3079}, LocaleId{"de_CH", 2055},
    LocaleId{"zh", 2052},    LocaleId{"en", 1033},    LocaleId{"de", 1031},    LocaleId{"fr", 1036},
    LocaleId{"es", 3082},    LocaleId{"it", 1040},    LocaleId{"ja", 1041},    LocaleId{"ko", 1042},
    LocaleId{"ru", 1049},    LocaleId{"pt", 2070},    LocaleId{"nl", 1043},    LocaleId{"pl", 1045},
    LocaleId{"tr", 1055},    LocaleId{"sv", 1053},    LocaleId{"da", 1030},    LocaleId{"fi", 1035},
    LocaleId{"nb", 1044},    LocaleId{"cs", 1029},    LocaleId{"hu", 1038},    LocaleId{"el", 1032},
    LocaleId{"he", 1037},    LocaleId{"ar", 1025},    LocaleId{"th", 1054},    LocaleId{"vi", 1066},
    LocaleId{"uk", 1058},    LocaleId{"ro", 1048},    LocaleId{"id", 1057},    LocaleId{"ms", 1086},
};

} // namespace

std::uint16_t LanguageIdFromLocale(std::string_view locale) {
    const auto cut = locale.find_first_of(".@");
    const auto name = locale.substr(0, cut);
    for (const auto& entry : kLocaleIds) {
        if (name == entry.locale) {
            return entry.id;
        }
    }
    const auto language = name.substr(0, name.find('_'));
    for (const auto& entry : kLocaleIds) {
        if (language == entry.locale) {
            return entry.id;
        }
    }
    return 1033;
}

std::uint16_t SystemLanguageId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable); // NOLINT(concurrency-mt-unsafe): read at start-up
        if (value != nullptr && *value != '\0') {
            return LanguageIdFromLocale(value);
        }
    }
    return 1033;
}

void SetLanguageIdOverride(std::uint16_t id) {
    std::lock_guard lock(StateLock());
    State().idOverride = id;
}

bool LoadLanguage(const std::string& directory) {
    {
        std::lock_guard lock(StateLock());
        State().directory = directory;
    }
    SetLanguage(GetSystemLanguageName());
    return true;
}

std::string GetSystemLanguageName() {
    std::lock_guard lock(StateLock());
    auto& state = State();
    std::uint16_t id = state.idOverride != 0 ? state.idOverride : SystemLanguageId();
    std::string name;
    if (auto index = IniDocument::Load(state.directory + "Languages/Language.ini")) {
        name = index->Get("LCID", std::to_string(id), kValueChars).value_or("");
    }
    if (name.empty()) {
        name = "English";
        id = 1033;
    }
    state.languageId = id;
    return name;
}

void SetLanguage(std::string_view name) {
    std::lock_guard lock(StateLock());
    auto& state = State();
    state.languageName = name.empty() ? std::string("English") : std::string(name);
    state.filePath = state.directory + "Languages/" + state.languageName + ".lng";
    state.texts.clear();
    if (auto file = IniDocument::Load(state.filePath)) {
        for (auto& [key, value] : file->Entries("ProgramOutStr")) {
            state.texts.emplace(AsciiLower(key), std::string(Utf8Prefix(value, kValueChars)));
        }
    }
}

std::string Translate(std::string_view key) {
    std::string text;
    {
        std::lock_guard lock(StateLock());
        const auto& texts = State().texts;
        const auto found = texts.find(AsciiLower(key));
        if (found != texts.end()) {
            text = found->second;
        }
    }
    if (text.empty()) {
        text = std::string(key);
    }
    ReplaceAll(text, "\\r\\n", "\r\n");
    ReplaceAll(text, "\\n", "\n");
    ReplaceAll(text, "[~NullInfoChrys~]", "");
    ReplaceAll(text, "[~Null~]", " ");
    return text;
}

std::uint16_t GetLanguageId() {
    std::lock_guard lock(StateLock());
    return State().languageId;
}

} // namespace rf
