#include "SecurityOptions.h"

#include "core/OperateCharacter.h"

#include <algorithm>
#include <cctype>

namespace rf {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

int SecurityModeOf(const std::string& text, int modeCount) {
    for (int mode = 0; mode < modeCount; ++mode) {
        if (SameIgnoringCase(text, SecurityModeItem(mode))) {
            return mode;
        }
    }
    return -1;
}

bool PutKey(SecurityForm& s, const std::string& key, std::string& error) {
    if (s.mode == 0) {
        error = "--key needs a security mode that has a key";
        return false;
    }
    if (s.mode == 1) {
        const size_t index = static_cast<size_t>(s.wepDefaultKey - 1);
        s.wepKeys[index] = key;
        s.wepKeyTypes[index] = (key.size() == 10 || key.size() == 26) && IsHexText(key) ? 1 : 0;
    } else if (s.mode <= 4) {
        s.pskKey = key;
    } else {
        s.radiusKey = key;
    }
    return true;
}

} // namespace rf
