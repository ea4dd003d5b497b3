#include "pages/IPSetDlg.h"

#include "operations/OperationChecks.h"
#include "pages/IpFieldForm.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

struct FieldSpec {
    const char* label;
    const char* name;
    size_t offset;
};
constexpr std::array<FieldSpec, 5> kFields{{
    {"IP_Address", "ipAddress", kBlockIpOffset},
    {"Sub_Network", "ipMask", kBlockMaskOffset},
    {"Gate_Way", "ipGateway", kBlockGatewayOffset},
    {"Major_Dns", "ipDns1", kBlockDns1Offset},
    {"Dns", "ipDns2", kBlockDns2Offset},
}};

} // namespace

CIPSetDlg::CIPSetDlg(const Settings& settings, CSqlManagement& store, std::string mac,
                     const IpSettingsBlock& opening, QWidget* parent)
    : CTDialog(parent), store_(store), mac_(std::move(mac)), opening_(opening) {
    setObjectName(QStringLiteral("IPSetDlg"));
    MakeChildPage();
    for (size_t i = 0; i < kFields.size(); ++i) {
        const IpFieldRow row =
            MakeIpFieldRow(settings, this, kFields[i].label, QString::fromLatin1(kFields[i].name),
                           30 + 44 * static_cast<int>(i));
        fields_[i] = row.field;
        row.field->SetAddress(IpText(BlockAddress(opening_, kFields[i].offset)));
    }
    TranslateWindow(this);
}

IpSettingsTexts CIPSetDlg::Texts() const {
    return {ToStdString(fields_[0]->Address()), ToStdString(fields_[1]->Address()),
            ToStdString(fields_[2]->Address()), ToStdString(fields_[3]->Address()),
            ToStdString(fields_[4]->Address())};
}

bool CIPSetDlg::CollectIpSettings(bool& changed, IpSettingsBlock& block) {
    const IpSettingsTexts texts = Texts();
    opening_[0] = 1;
    const IpSettingsCheck check = CheckIpSettings(opening_, texts, AddressUsedByOthers(store_, {mac_}));
    if (!check.accepted) {
        MessageBox::warning(this, TranslateText(check.message));
        return false;
    }
    changed_ = check.changed;
    newBlock_ = check.block;
    changed = changed_;
    block = newBlock_;
    return true;
}

} // namespace rf
