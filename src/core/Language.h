#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rf {

// The language lookup. Every visible text is an English key passed through Translate. The language is
// chosen once at start-up; afterwards the module is only read, from any thread.

// Chooses the language for the program in directory (ending in "/"): the system language id is looked up
// in "<directory>Languages/Language.ini". Returns true.
bool LoadLanguage(const std::string& directory);
// The language name for the system language id (or the override), setting the current language id;
// "English" and 1033 when the index has no entry for it.
std::string GetSystemLanguageName();
// Makes "<directory>Languages/<name>.lng" the language file; an empty name means "English".
void SetLanguage(std::string_view name);
// The text of key in the current language, or the key itself; escapes replaced.
std::string Translate(std::string_view key);
std::uint16_t GetLanguageId();

// A language id to use instead of the system's (the --language option); 0 clears it.
void SetLanguageIdOverride(std::uint16_t id);
// The Windows language id of a POSIX locale name such as "zh_CN.UTF-8"; 1033 for unknown ones.
std::uint16_t LanguageIdFromLocale(std::string_view locale);
// The language id of the environment: LC_ALL, then LC_MESSAGES, then LANG.
std::uint16_t SystemLanguageId();

} // namespace rf
