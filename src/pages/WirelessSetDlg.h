#pragma once

#include "protocol/DeviceInfo.h"
#include "rules/WirelessForm.h"
#include "ui/TDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace rf {

class CTEdit;
class CTStatic;
class CWepDlg;
class CWpaDlg;
struct Settings;

// The wireless tab of the configuration dialog: the device name, the radio (its dependent lists come
// from WirelessChoices) and the security of its network, with the WEP and RADIUS panels. A station or
// repeater only shows its values: every control is disabled, and a note says why.
class CWirelessSetDlg : public CTDialog {
    Q_OBJECT

public:
    CWirelessSetDlg(const Settings& settings, const DeviceInfo& stored, QWidget* parent);

    // What the tab shows now.
    WirelessForm Form() const;

    // Shows the controls of a security mode (the pre-shared key controls, or one of the panels), or for a
    // mode the tab cannot edit only a note that it is kept.
    void ShowSecurityControls(int mode);

    CTEdit* NameEdit() const { return name_; }
    CTEdit* SsidEdit() const { return ssid_; }
    QCheckBox* HideBox() const { return hide_; }
    QComboBox* ModeBox() const { return mode_; }
    QComboBox* BandwidthBox() const { return bandwidth_; }
    CTEdit* PowerEdit() const { return power_; }
    CTStatic* PowerRange() const { return range_; }
    QComboBox* CountryBox() const { return country_; }
    QComboBox* ChannelBox() const { return channel_; }
    QComboBox* ExtensionBox() const { return extension_; }
    QComboBox* SecurityBox() const { return security_; }
    QRadioButton* Cipher(size_t index) const { return ciphers_[index]; }
    CTEdit* KeyEdit() const { return key_; }
    CTEdit* RenewalEdit() const { return renewal_; }
    CWepDlg* WepPanel() const { return wep_; }
    CWpaDlg* WpaPanel() const { return wpa_; }
    CTStatic* UnknownModeNote() const { return unknownModeNote_; }
    // Why the tab only shows its values; null when it is editable.
    CTStatic* ShowOnlyNote() const { return showOnlyNote_; }

private:
    void BuildRadio(const Settings& settings);
    void BuildSecurity(const Settings& settings, const SecurityForm& opening);
    void ShowLists();
    void ShowPskControls(bool shown, bool enabled);
    void Connect();

    WirelessChoices choices_;
    bool showOnly_ = false;
    CTEdit* name_ = nullptr;
    CTEdit* ssid_ = nullptr;
    QCheckBox* hide_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* bandwidth_ = nullptr;
    CTEdit* power_ = nullptr;
    CTStatic* range_ = nullptr;
    QComboBox* country_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* extension_ = nullptr;
    QComboBox* security_ = nullptr;
    CTStatic* cipherLabel_ = nullptr;
    CTStatic* keyLabel_ = nullptr;
    CTStatic* renewalLabel_ = nullptr;
    std::array<QRadioButton*, 3> ciphers_{};
    CTEdit* key_ = nullptr;
    CTEdit* renewal_ = nullptr;
    CWepDlg* wep_ = nullptr;
    CWpaDlg* wpa_ = nullptr;
    CTStatic* showOnlyNote_ = nullptr;
    CTStatic* unknownModeNote_ = nullptr;
};

} // namespace rf
