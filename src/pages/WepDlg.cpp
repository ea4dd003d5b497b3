#include "pages/WepDlg.h"

#include "pages/TabControls.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/WindowTranslation.h"

#include <QComboBox>

namespace rf {
namespace {

constexpr std::array<const char*, SecurityBlock::kWepKeyCount> kKeyLabels{"Key1", "Key2", "Key3", "Key4"};
constexpr int kRow = 30;

} // namespace

CWepDlg::CWepDlg(const Settings& settings, const SecurityForm& opening, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("WepDlg"));
    MakeChildPage();
    MakeTabLabel(settings, this, "Encryption_Type", {0, 0, 120, 24});
    auth_ = MakeTabCombo(this, "wepAuth", {130, 0, 120, 24});
    ShowFixedChoices(auth_, {{"Open", 0}, {"Share", 1}}, opening.wepAuth);
    MakeTabLabel(settings, this, "Default_key", {270, 0, 100, 24});
    defaultKey_ = MakeTabCombo(this, "wepDefaultKey", {380, 0, 100, 24});
    ShowFixedChoices(defaultKey_, {{"Key 1", 1}, {"Key 2", 2}, {"Key 3", 3}, {"Key 4", 4}},
                     opening.wepDefaultKey);
    for (size_t i = 0; i < keys_.size(); ++i) {
        const int y = kRow * static_cast<int>(i + 1);
        MakeTabLabel(settings, this, kKeyLabels[i], {0, y, 120, 24});
        keys_[i] = MakeTabEdit(this, ("wepKey" + std::to_string(i + 1)).c_str(), {130, y, 250, 24}, 26);
        keys_[i]->setText(ToQString(opening.wepKeys[i]));
        types_[i] = MakeTabCombo(this, ("wepKeyType" + std::to_string(i + 1)).c_str(), {390, y, 90, 24});
        ShowFixedChoices(types_[i], {{"ASCII", 0}, {"Hex", 1}}, opening.wepKeyTypes[i]);
    }
    TranslateWindow(this);
}

void CWepDlg::Read(SecurityForm& form) const {
    form.wepAuth = SelectedValue(auth_, 0);
    form.wepDefaultKey = SelectedValue(defaultKey_, 1);
    for (size_t i = 0; i < keys_.size(); ++i) {
        form.wepKeys[i] = ToStdString(keys_[i]->text());
        form.wepKeyTypes[i] = SelectedValue(types_[i], 0);
    }
}

} // namespace rf
