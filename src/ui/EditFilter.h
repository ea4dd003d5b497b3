#pragma once

#include <string_view>

namespace rf {

// What a filtered edit field accepts.
enum class CharMode : int { Any = 0, Digits = 1, Letters = 2, LettersAndDigits = 3 };

// Control characters that reach the field as typed characters.
inline constexpr char32_t kCtrlCopy = 3;
inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kCtrlPaste = 22;
inline constexpr char32_t kCtrlCut = 24;
inline constexpr char32_t kCtrlUndo = 26;

struct EditFilter {
    CharMode mode = CharMode::Any;
    std::u32string_view forbidden;
    bool clipboardLock = false;
};

bool IsClipboardControl(char32_t ch);
// Whether the mode itself takes ch (without the forbidden list and the control characters).
bool ModeAccepts(CharMode mode, char32_t ch);
// Whether a typed character reaches the field.
bool AcceptsTypedChar(const EditFilter& filter, char32_t ch);
// Whether a character arriving by paste or drop may enter the field: the mode and the forbidden list apply.
bool AcceptsInsertedChar(const EditFilter& filter, char32_t ch);

} // namespace rf
