#pragma once

#include "operations/BridgeForms.h"
#include "ui/TDialog.h"

#include <array>

class QComboBox;
class QRadioButton;

namespace rf {

class CTEdit;
class CTStatic;
class CWepDlg;
struct Settings;

// The wizard's second step: the link to the access point (SSID, channel, security with its cipher and
// key, or the WEP panel). Filled from the ticked access point; Collect checks it with the wizard's rules
// and writes the bridge block, showing the first refusal.
class CBridgeSecureDlg : public CTDialog {
    Q_OBJECT

public:
    CBridgeSecureDlg(const Settings& settings, QWidget* parent);

    void PresetFromScan(int model, int rfType, const ScanEntry& ap);
    // What the step shows now.
    BridgeSecurityForm Form() const;
    // False (after showing the message) when the rules refuse the step; otherwise the bridge block is in out.
    bool Collect(DeviceInfo& out);

    CTEdit* SsidEdit() const { return ssid_; }
    QComboBox* ChannelBox() const { return channel_; }
    QComboBox* SecurityBox() const { return security_; }
    QRadioButton* Cipher(int cipher) const { return ciphers_[static_cast<size_t>(cipher)]; }
    CTEdit* KeyEdit() const { return key_; }
    CWepDlg* WepPanel() const { return wep_; }

private:
    // Shows the fields of a security mode: none, the pre-shared key with its cipher, or the WEP panel.
    void ShowMode(int mode);

    CTEdit* ssid_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* security_ = nullptr;
    std::array<QRadioButton*, 3> ciphers_{};
    CTStatic* cipherLabel_ = nullptr;
    CTStatic* keyLabel_ = nullptr;
    CTEdit* key_ = nullptr;
    CWepDlg* wep_ = nullptr;
    BridgeSecurityForm preset_;
    int model_ = 0;
};

} // namespace rf
