#include "SecurityOptions.h"

#include "core/OperateCharacter.h"
#include "operations/OperationCatalogue.h"

namespace rf {

bool PutKey(SecurityForm& s, const std::string& key, std::string& error) {
    if (s.mode == 0 || !IsEditableSecurityMode(s.mode)) {
        error = KeyWithoutModeText();
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
