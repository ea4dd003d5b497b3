#pragma once

#include "rules/SecurityForm.h"
#include "ui/TDialog.h"

class QComboBox;

namespace rf {

class CIpAddressEdit;
class CTEdit;
struct Settings;

// The RADIUS panel of the wireless tab (WPA and WPA2): cipher, server address and port, shared key and
// key renewal.
class CWpaDlg : public CTDialog {
    Q_OBJECT

public:
    CWpaDlg(const Settings& settings, const SecurityForm& opening, QWidget* parent);

    // Writes the panel's fields into the form.
    void Read(SecurityForm& form) const;

    QComboBox* CipherBox() const { return cipher_; }
    CIpAddressEdit* Server() const { return server_; }
    CTEdit* Port() const { return port_; }
    CTEdit* Key() const { return key_; }
    CTEdit* Renewal() const { return renewal_; }

private:
    QComboBox* cipher_ = nullptr;
    CIpAddressEdit* server_ = nullptr;
    CTEdit* port_ = nullptr;
    CTEdit* key_ = nullptr;
    CTEdit* renewal_ = nullptr;
};

} // namespace rf
