#pragma once

#include "protocol/SecurityBlock.h"

#include <array>
#include <string>

namespace rf {

// The security part of the wireless tab as the user sees it: the mode and the fields of every mode.
// Texts are local (UTF-8) texts as typed.
struct SecurityForm {
    int mode = 0;      // secure_mode: 0 none, 1 WEP, 2 WPA-PSK, 3 WPA2-PSK, 4 mixed, 5 WPA, 6 WPA2
    int pskCipher = 0; // 0 AES, 1 TKIP, 2 TKIP&AES
    std::string pskKey;
    std::string pskRenewal;
    int wepAuth = 0;       // 0 Open, 1 Share
    int wepDefaultKey = 1; // 1-4
    std::array<std::string, SecurityBlock::kWepKeyCount> wepKeys;
    std::array<int, SecurityBlock::kWepKeyCount> wepKeyTypes{}; // 0 ASCII, 1 Hex
    int radiusCipher = 0;                                       // 0 AES, 1 TKIP, 2 AES/TKIP
    std::string radiusServer;
    std::string radiusPort;
    std::string radiusKey;
    std::string radiusRenewal;
};

inline constexpr int kSecurityModeCount = 7;

// The modes the tab can edit (0-6). A device may report another one (newer firmware has more): the forms
// keep such a mode as the device holds it, with its key fields, unless the user chooses a mode of the tab.
bool IsEditableSecurityMode(int mode);

// The texts of the security-mode box, by mode.
const char* SecurityModeItem(int mode);

// The form as the tab opens on a stored block. Values outside a box's entries select its first entry.
SecurityForm OpenSecurityForm(const SecurityBlock& stored);

// WPA-PSK offers no TKIP&AES: choosing that mode moves such a selection to AES.
void ChooseSecurityMode(SecurityForm& form, int mode);

// The rules of the selected mode, in the order the tab checks them. Empty when accepted, else the message
// key of the first failure. The fields of the other modes are not checked, nor anything of a mode the tab
// cannot edit.
std::string ValidateSecurity(const SecurityForm& form);

// Writes the selected mode and its fields over the stored block; the fields of the other modes keep their
// stored values. A mode the tab cannot edit leaves the whole block as stored. Call only with a form
// ValidateSecurity accepted.
void WriteSecurity(const SecurityForm& form, SecurityBlock& block);

} // namespace rf
