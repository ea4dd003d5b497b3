#include "pages/WpaDlg.h"

#include "pages/TabControls.h"
#include "ui/IpAddressEdit.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/WindowTranslation.h"

#include <QComboBox>

namespace rf {

CWpaDlg::CWpaDlg(const Settings& settings, const SecurityForm& opening, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("WpaDlg"));
    MakeChildPage();
    MakeTabLabel(settings, this, "Wireless_AutoType", {0, 0, 120, 24});
    cipher_ = MakeTabCombo(this, "radiusCipher", {130, 0, 150, 24});
    ShowFixedChoices(cipher_, {{"AES", 0}, {"TKIP", 1}, {"AES/TKIP", 2}}, opening.radiusCipher);
    MakeTabLabel(settings, this, "Radius_server_ip", {0, 30, 120, 24});
    server_ = new CIpAddressEdit(this);
    server_->setObjectName(QStringLiteral("radiusServer"));
    server_->setGeometry(130, 30, 150, 24);
    server_->SetAddress(ToQString(opening.radiusServer));
    MakeTabLabel(settings, this, "Radius_port", {0, 60, 120, 24});
    port_ = MakeTabEdit(this, "radiusPort", {130, 60, 150, 24}, 5, CharMode::Digits);
    port_->setText(ToQString(opening.radiusPort));
    MakeTabLabel(settings, this, "Radius_Key", {0, 90, 120, 24});
    key_ = MakeTabEdit(this, "radiusKey", {130, 90, 250, 24}, 64);
    key_->setText(ToQString(opening.radiusKey));
    MakeTabLabel(settings, this, "Radius_Key_time", {0, 120, 120, 24});
    renewal_ = MakeTabEdit(this, "radiusRenewal", {130, 120, 150, 24}, 5, CharMode::Digits);
    renewal_->setText(ToQString(opening.radiusRenewal));
    TranslateWindow(this);
}

void CWpaDlg::Read(SecurityForm& form) const {
    form.radiusCipher = SelectedValue(cipher_, 0);
    form.radiusServer = ToStdString(server_->Address());
    form.radiusPort = ToStdString(port_->text());
    form.radiusKey = ToStdString(key_->text());
    form.radiusRenewal = ToStdString(renewal_->text());
}

} // namespace rf
