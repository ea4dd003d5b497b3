#include "pages/BridgeSecureDlg.h"

#include "pages/TabControls.h"
#include "pages/WepDlg.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QComboBox>
#include <QRadioButton>

namespace rf {
namespace {

constexpr std::array<const char*, 3> kCipherTexts{"AES", "TKIP", "TKIPAES"};
constexpr int kLabelX = 20, kFieldX = 170, kRow = 34;

} // namespace

CBridgeSecureDlg::CBridgeSecureDlg(const Settings& settings, QWidget* parent)
    : CTDialog(parent), preset_(OpenBridgeSecurity()) {
    setObjectName(QStringLiteral("BridgeSecureDlg"));
    MakeChildPage();
    MakeTabLabel(settings, this, "BridgeSSID", {kLabelX, 10, 140, 24});
    ssid_ = MakeTabEdit(this, "bridgeSsid", {kFieldX, 10, 220, 24}, 32);
    MakeTabLabel(settings, this, "Channel", {kLabelX, 10 + kRow, 140, 24});
    channel_ = MakeTabCombo(this, "bridgeChannel", {kFieldX, 10 + kRow, 120, 24});
    MakeTabLabel(settings, this, "SecureMode", {kLabelX, 10 + 2 * kRow, 140, 24});
    security_ = MakeTabCombo(this, "bridgeSecurity", {kFieldX, 10 + 2 * kRow, 220, 24});
    cipherLabel_ = MakeTabLabel(settings, this, "Wireless_AutoType", {kLabelX, 10 + 3 * kRow, 140, 24});
    for (size_t i = 0; i < ciphers_.size(); ++i) {
        ciphers_[i] = new QRadioButton(QString::fromUtf8(kCipherTexts[i]), this);
        ciphers_[i]->setObjectName(QStringLiteral("bridgeCipher%1").arg(i));
        ciphers_[i]->setGeometry(kFieldX + static_cast<int>(i) * 90, 10 + 3 * kRow, 88, 24);
    }
    keyLabel_ = MakeTabLabel(settings, this, "WirelessKey", {kLabelX, 10 + 4 * kRow, 140, 24});
    key_ = MakeTabEdit(this, "bridgeKey", {kFieldX, 10 + 4 * kRow, 300, 24}, 64);
    SecurityForm wepOpening;
    wep_ = new CWepDlg(settings, wepOpening, this);
    wep_->setGeometry(kLabelX, 10 + 3 * kRow, 500, 160);
    TranslateWindow(this);
    ShowChoices(channel_, preset_.channels);
    ShowChoices(security_, BuildBridgeSecurityList(0));
    ciphers_[0]->setChecked(true);
    ShowMode(0);
    connect(security_, &QComboBox::activated, this, [this] { ShowMode(SelectedValue(security_, 0)); });
}

void CBridgeSecureDlg::ShowMode(int mode) {
    const bool psk = mode >= 2 && mode <= 4;
    for (QRadioButton* cipher : ciphers_) {
        cipher->setVisible(psk);
        cipher->setEnabled(psk);
    }
    cipherLabel_->setVisible(psk);
    keyLabel_->setVisible(psk);
    key_->setVisible(psk);
    key_->setEnabled(psk);
    wep_->setVisible(mode == 1);
}

void CBridgeSecureDlg::PresetFromScan(int model, int rfType, const ScanEntry& ap) {
    model_ = model;
    preset_ = OpenBridgeSecurity();
    preset_.security.pskCipher = Form().security.pskCipher; // an open access point keeps the cipher shown
    rf::PresetFromScan(preset_, rfType, ap);
    ssid_->setText(ToQString(preset_.ssid));
    ShowChoices(channel_, preset_.channels);
    ShowChoices(security_, BuildBridgeSecurityList(preset_.security.mode));
    ciphers_[static_cast<size_t>(preset_.security.pskCipher)]->setChecked(true);
    if (preset_.security.mode == 1) {
        wep_->AuthBox()->setCurrentIndex(0);
    }
    ShowMode(preset_.security.mode);
}

BridgeSecurityForm CBridgeSecureDlg::Form() const {
    BridgeSecurityForm form = preset_;
    form.ssid = ToStdString(ssid_->text());
    form.channels.selected = channel_->currentIndex();
    form.security.mode = SelectedValue(security_, 0);
    for (size_t i = 0; i < ciphers_.size(); ++i) {
        if (ciphers_[i]->isChecked()) {
            form.security.pskCipher = static_cast<int>(i);
        }
    }
    form.security.pskKey = ToStdString(key_->text());
    wep_->Read(form.security);
    return form;
}

bool CBridgeSecureDlg::Collect(DeviceInfo& out) {
    const std::string refused = CollectBridgeSettings(Form(), model_, out);
    if (!refused.empty()) {
        MessageBox::warning(this, TranslateText(refused));
        return false;
    }
    return true;
}

} // namespace rf
