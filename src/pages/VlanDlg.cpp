#include "pages/VlanDlg.h"

#include "pages/TabControls.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QCheckBox>

namespace rf {

CVlanDlg::CVlanDlg(const Settings& settings, const DeviceInfo& stored, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("VlanDlg"));
    MakeChildPage();
    const VlanForm opening = OpenVlanForm(stored);
    MakeTabLabel(settings, this, "VLAN configuration", {30, 30, 150, 24});
    enable_ = MakeTabCheck(this, "vlanEnable", "Enable", {190, 30, 150, 24});
    enable_->setChecked(opening.enabled);
    MakeTabLabel(settings, this, "Manage VLAN", {30, 70, 150, 24});
    manage_ = MakeTabEdit(this, "vlanManage", {190, 70, 120, 24}, 4, CharMode::Digits);
    manage_->setText(ToQString(opening.manage));
    MakeTabLabel(settings, this, "WLAN", {30, 110, 150, 24});
    wlan_ = MakeTabEdit(this, "vlanWlan", {190, 110, 120, 24}, 4, CharMode::Digits);
    wlan_->setText(ToQString(opening.wlan));
    CTStatic* lanLabel = MakeTabLabel(settings, this, "LAN", {30, 150, 150, 24});
    lan_ = MakeTabEdit(this, "vlanLan", {190, 150, 120, 24}, 5, CharMode::Digits);
    lan_->setText(ToQString(opening.lan));
    lanLabel->hide();
    lan_->hide();
    EnableIds(opening.enabled);
    connect(enable_, &QCheckBox::toggled, this, &CVlanDlg::EnableIds);
    TranslateWindow(this);
}

void CVlanDlg::EnableIds(bool on) {
    manage_->setEnabled(on);
    wlan_->setEnabled(on);
    lan_->setEnabled(on);
}

VlanForm CVlanDlg::Form() const {
    return {enable_->isChecked(), ToStdString(manage_->text()), ToStdString(wlan_->text()),
            ToStdString(lan_->text())};
}

} // namespace rf
