#include "ui/EditFilter.h"

namespace rf {

namespace {

bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}
bool IsLetter(char32_t ch) {
    return (ch >= U'A' && ch <= U'Z') || (ch >= U'a' && ch <= U'z');
}

} // namespace

bool IsClipboardControl(char32_t ch) {
    return ch == kCtrlCopy || ch == kCtrlPaste || ch == kCtrlCut || ch == kCtrlUndo;
}

bool ModeAccepts(CharMode mode, char32_t ch) {
    switch (mode) {
    case CharMode::Digits:
        return IsDigit(ch);
    case CharMode::Letters:
        return IsLetter(ch);
    case CharMode::LettersAndDigits:
        return IsDigit(ch) || IsLetter(ch);
    case CharMode::Any:
        break;
    }
    return true;
}

bool AcceptsTypedChar(const EditFilter& filter, char32_t ch) {
    if (filter.forbidden.find(ch) != std::u32string_view::npos) {
        return false;
    }
    if (filter.clipboardLock && IsClipboardControl(ch)) {
        return false;
    }
    return ModeAccepts(filter.mode, ch) || ch == kBackspace || IsClipboardControl(ch);
}

bool AcceptsInsertedChar(const EditFilter& filter, char32_t ch) {
    return filter.forbidden.find(ch) == std::u32string_view::npos && ModeAccepts(filter.mode, ch);
}

} // namespace rf
