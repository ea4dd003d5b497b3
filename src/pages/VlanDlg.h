#pragma once

#include "rules/VlanForm.h"
#include "ui/TDialog.h"

class QCheckBox;

namespace rf {

class CTEdit;
struct Settings;

// The VLAN tab: on or off, the management and wireless VLAN ids; the wired id is kept but never shown.
class CVlanDlg : public CTDialog {
    Q_OBJECT

public:
    CVlanDlg(const Settings& settings, const DeviceInfo& stored, QWidget* parent);

    VlanForm Form() const;

    QCheckBox* EnableBox() const { return enable_; }
    CTEdit* ManageEdit() const { return manage_; }
    CTEdit* WlanEdit() const { return wlan_; }
    CTEdit* LanEdit() const { return lan_; }

private:
    void EnableIds(bool on);

    QCheckBox* enable_ = nullptr;
    CTEdit* manage_ = nullptr;
    CTEdit* wlan_ = nullptr;
    CTEdit* lan_ = nullptr;
};

} // namespace rf
