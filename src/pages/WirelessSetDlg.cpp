#include "pages/WirelessSetDlg.h"

#include "core/Language.h"
#include "pages/TabControls.h"
#include "pages/WepDlg.h"
#include "pages/WpaDlg.h"
#include "rules/CountryTable.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace rf {
namespace {

constexpr int kLabelX = 10;
constexpr int kFieldX = 140;
constexpr int kRightLabelX = 335;
constexpr int kRightFieldX = 470;
constexpr int kPanelY = 220;
constexpr std::array<const char*, 3> kCipherKeys{"AES", "TKIP", "TKIP&&AES"};
constexpr std::array<const char*, 3> kCipherNames{"cipherAes", "cipherTkip", "cipherBoth"};
constexpr const char* kUnknownModeItem = "Unknown (%d)";
constexpr const char* kUnknownModeNote =
    "This security mode cannot be edited here; the device keeps it as it is";

// A mode the device reports that the tab cannot edit: shown, selected and not choosable, so that what is
// sent back is the device's own setting.
void AddUnknownMode(QComboBox* box, int mode) {
    box->addItem(TranslateText(kUnknownModeItem).replace(QStringLiteral("%d"), QString::number(mode)), mode);
    if (auto* model = qobject_cast<QStandardItemModel*>(box->model())) {
        model->item(box->count() - 1)->setEnabled(false);
    }
}

} // namespace

CWirelessSetDlg::CWirelessSetDlg(const Settings& settings, const DeviceInfo& stored, QWidget* parent)
    : CTDialog(parent), choices_(WirelessChoices::Open(stored)), showOnly_(!IsWirelessTabEditable(stored)) {
    setObjectName(QStringLiteral("WirelessSetDlg"));
    MakeChildPage();
    const WirelessForm opening = OpenWirelessForm(stored);
    MakeTabLabel(settings, this, "Wireless_location", {kLabelX, 10, 120, 24});
    name_ = MakeTabEdit(this, "wirelessName", {kFieldX, 10, 180, 24}, 32);
    name_->setText(ToQString(opening.name));
    MakeTabLabel(settings, this, "Wireless_ssid", {kLabelX, 40, 120, 24});
    ssid_ = MakeTabEdit(this, "wirelessSsid", {kFieldX, 40, 180, 24}, 32);
    ssid_->setText(ToQString(opening.ssid));
    hide_ = MakeTabCheck(this, "wirelessHideSsid", "Wireless_ssid_hide", {kRightLabelX, 40, 200, 24});
    hide_->setChecked(opening.hideSsid);
    BuildRadio(settings);
    power_->setText(ToQString(opening.power));
    range_->setText(QStringLiteral("(%1-%2)").arg(stored.tx_power_min()).arg(stored.tx_power_max()));
    BuildSecurity(settings, opening.security);
    if (showOnly_) {
        showOnlyNote_ =
            MakeTabLabel(settings, this, kRadioFromAccessPointMessage, {kRightLabelX, 100, 250, 54});
        showOnlyNote_->setObjectName(QStringLiteral("wirelessShowOnlyNote"));
        showOnlyNote_->setWordWrap(true);
    }
    ShowLists();
    TranslateWindow(this);
    ShowSecurityControls(opening.security.mode);
    Connect();
}

void CWirelessSetDlg::BuildRadio(const Settings& settings) {
    MakeTabLabel(settings, this, "NetMode", {kLabelX, 70, 120, 24});
    mode_ = MakeTabCombo(this, "wirelessMode", {kFieldX, 70, 180, 24});
    MakeTabLabel(settings, this, "BandWidth", {kRightLabelX, 70, 130, 24});
    bandwidth_ = MakeTabCombo(this, "wirelessBandwidth", {kRightFieldX, 70, 110, 24});
    MakeTabLabel(settings, this, "Wireless_power", {kLabelX, 100, 120, 24});
    power_ = MakeTabEdit(this, "wirelessPower", {kFieldX, 100, 80, 24}, 3, CharMode::Digits);
    range_ = MakeTabLabel(settings, this, "", {kFieldX + 90, 100, 90, 24});
    range_->setObjectName(QStringLiteral("wirelessPowerRange"));
    range_->setProperty("rfNoTranslate", true);
    MakeTabLabel(settings, this, "Wireless_country", {kLabelX, 130, 120, 24});
    country_ = MakeTabCombo(this, "wirelessCountry", {kFieldX, 130, 180, 24});
    for (size_t row = 0; row < kCountryCount; ++row) {
        country_->addItem(ToQString(Translate(CountryTable()[row].name)), static_cast<int>(row));
    }
    MakeTabLabel(settings, this, "Wireless_channel", {kLabelX, 160, 120, 24});
    channel_ = MakeTabCombo(this, "wirelessChannel", {kFieldX, 160, 180, 24});
    MakeTabLabel(settings, this, "ExpandChannel", {kRightLabelX, 160, 130, 24});
    extension_ = MakeTabCombo(this, "wirelessExtension", {kRightFieldX, 160, 110, 24});
}

void CWirelessSetDlg::BuildSecurity(const Settings& settings, const SecurityForm& opening) {
    MakeTabLabel(settings, this, "Wireless_secureMode", {kLabelX, 190, 120, 24});
    security_ = MakeTabCombo(this, "wirelessSecurity", {kFieldX, 190, 180, 24});
    for (int mode = 0; mode < kSecurityModeCount; ++mode) {
        security_->addItem(ToQString(Translate(SecurityModeItem(mode))), mode);
    }
    if (!IsEditableSecurityMode(opening.mode)) {
        AddUnknownMode(security_, opening.mode);
    }
    security_->setCurrentIndex(security_->findData(opening.mode));
    cipherLabel_ = MakeTabLabel(settings, this, "Wireless_AutoType", {kLabelX, kPanelY, 120, 24});
    for (size_t i = 0; i < ciphers_.size(); ++i) {
        ciphers_[i] = new QRadioButton(QString::fromUtf8(kCipherKeys[i]), this);
        ciphers_[i]->setObjectName(QString::fromLatin1(kCipherNames[i]));
        ciphers_[i]->setGeometry(kFieldX + 100 * static_cast<int>(i), kPanelY, 100, 24);
    }
    ciphers_[static_cast<size_t>(opening.pskCipher)]->setChecked(true);
    keyLabel_ = MakeTabLabel(settings, this, "Wireless_Key", {kLabelX, kPanelY + 30, 120, 24});
    key_ = MakeTabEdit(this, "wirelessKey", {kFieldX, kPanelY + 30, 300, 24}, 64);
    key_->setText(ToQString(opening.pskKey));
    renewalLabel_ = MakeTabLabel(settings, this, "Wireless_Key_time", {kLabelX, kPanelY + 60, 120, 24});
    renewal_ = MakeTabEdit(this, "wirelessRenewal", {kFieldX, kPanelY + 60, 100, 24}, 5, CharMode::Digits);
    renewal_->setText(ToQString(opening.pskRenewal));
    wep_ = new CWepDlg(settings, opening, this);
    wep_->setGeometry(kLabelX, kPanelY, 500, 160);
    wpa_ = new CWpaDlg(settings, opening, this);
    wpa_->setGeometry(kLabelX, kPanelY, 500, 160);
    unknownModeNote_ = MakeTabLabel(settings, this, kUnknownModeNote, {kLabelX, kPanelY, 500, 24});
    unknownModeNote_->setObjectName(QStringLiteral("securityUnknownNote"));
}

void CWirelessSetDlg::ShowLists() {
    ShowChoices(mode_, choices_.networkModes());
    ShowChoices(bandwidth_, choices_.bandwidths());
    {
        const QSignalBlocker quiet(country_);
        country_->setCurrentIndex(choices_.country() ? static_cast<int>(*choices_.country()) : -1);
    }
    ShowChoices(channel_, choices_.channels());
    ShowChoices(extension_, choices_.extensions());
    if (showOnly_) {
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setEnabled(child == showOnlyNote_);
        }
    }
}

void CWirelessSetDlg::Connect() {
    connect(country_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SelectCountry(static_cast<size_t>(country_->itemData(index).toInt()));
        ShowLists();
    });
    connect(mode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SelectNetworkMode(index);
        ShowLists();
    });
    connect(bandwidth_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SelectBandwidth(index);
        ShowLists();
    });
    connect(channel_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SelectChannel(index);
        ShowLists();
    });
    connect(extension_, &QComboBox::currentIndexChanged, this,
            [this](int index) { choices_.SelectExtension(index); });
    connect(security_, &QComboBox::currentIndexChanged, this,
            [this](int index) { ShowSecurityControls(security_->itemData(index).toInt()); });
}

void CWirelessSetDlg::ShowPskControls(bool shown, bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{cipherLabel_, keyLabel_, renewalLabel_, key_, renewal_,
                                                      ciphers_[0], ciphers_[1], ciphers_[2]}) {
        w->setVisible(shown);
        w->setEnabled(enabled && !showOnly_);
    }
}

void CWirelessSetDlg::ShowSecurityControls(int mode) {
    unknownModeNote_->setVisible(!IsEditableSecurityMode(mode));
    const bool psk = mode >= 2 && mode <= 4;
    ShowPskControls(psk, psk);
    if (mode == 2) {
        ciphers_[2]->setEnabled(false);
        if (ciphers_[2]->isChecked()) {
            ciphers_[0]->setChecked(true);
        }
    }
    wep_->setVisible(mode == 1);
    wpa_->setVisible(mode == 5 || mode == 6);
}

WirelessForm CWirelessSetDlg::Form() const {
    WirelessForm form;
    form.name = ToStdString(name_->text());
    form.ssid = ToStdString(ssid_->text());
    form.hideSsid = hide_->isChecked();
    form.power = ToStdString(power_->text());
    form.choices = choices_;
    form.security.mode = SelectedValue(security_, 0);
    form.security.pskCipher = ciphers_[0]->isChecked() ? 0 : ciphers_[1]->isChecked() ? 1 : 2;
    form.security.pskKey = ToStdString(key_->text());
    form.security.pskRenewal = ToStdString(renewal_->text());
    wep_->Read(form.security);
    wpa_->Read(form.security);
    return form;
}

} // namespace rf
