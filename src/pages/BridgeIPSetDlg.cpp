#include "pages/BridgeIPSetDlg.h"

#include "core/Settings.h"
#include "pages/IpFieldForm.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr std::array<const char*, CBridgeIPSetDlg::kFieldCount> kLabels{"IP_Address", "Sub_Network",
                                                                        "Gate_Way", "Major_Dns", "Dns"};
constexpr std::array<const char*, CBridgeIPSetDlg::kFieldCount> kNames{
    "bridgeIp", "bridgeMask", "bridgeGateway", "bridgeDns1", "bridgeDns2"};

} // namespace

CBridgeIPSetDlg::CBridgeIPSetDlg(const Settings& settings, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("BridgeIPSetDlg"));
    MakeChildPage();
    auto* hint = new CTStatic(this);
    hint->setObjectName(QStringLiteral("bridgeIpHint"));
    hint->SetStaticLook(settings);
    hint->setText(QStringLiteral("Toptip"));
    hint->setGeometry(20, 6, 520, 24);
    for (size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = MakeIpFieldRow(settings, this, kLabels[i], QString::fromUtf8(kNames[i]),
                                    44 + static_cast<int>(i) * 36)
                         .field;
    }
    TranslateWindow(this);
}

void CBridgeIPSetDlg::Prefill(const DeviceInfo& info) {
    const IpSettingsTexts texts = OpenBridgeIp(info);
    for (size_t i = 0; i < fields_.size(); ++i) {
        const std::array<const std::string*, kFieldCount> values{&texts.ip, &texts.mask, &texts.gateway,
                                                                 &texts.dns1, &texts.dns2};
        fields_[i]->SetAddress(ToQString(*values[i]));
    }
}

IpSettingsTexts CBridgeIPSetDlg::Texts() const {
    const auto text = [this](Field f) { return ToStdString(fields_[static_cast<size_t>(f)]->Address()); };
    return {text(kIp), text(kMask), text(kGateway), text(kDns1), text(kDns2)};
}

bool CBridgeIPSetDlg::Collect(const std::function<bool(const std::string&)>& usedByAnother,
                              IpSettingsBlock& block) {
    const BridgeIpCollect collect = CollectBridgeIpSettings(Texts(), usedByAnother);
    if (!collect.Accepted()) {
        MessageBox::warning(this, TranslateText(collect.message));
        return false;
    }
    block = collect.block;
    return true;
}

} // namespace rf
