#pragma once

#include "rules/SecurityForm.h"
#include "ui/TDialog.h"

#include <array>

class QComboBox;

namespace rf {

class CTEdit;
struct Settings;

// The WEP panel of the wireless tab: authentication, the default key and four keys with their types.
class CWepDlg : public CTDialog {
    Q_OBJECT

public:
    CWepDlg(const Settings& settings, const SecurityForm& opening, QWidget* parent);

    // Writes the panel's fields into the form.
    void Read(SecurityForm& form) const;

    QComboBox* AuthBox() const { return auth_; }
    QComboBox* DefaultKeyBox() const { return defaultKey_; }
    CTEdit* Key(size_t index) const { return keys_[index]; }
    QComboBox* KeyType(size_t index) const { return types_[index]; }

private:
    QComboBox* auth_ = nullptr;
    QComboBox* defaultKey_ = nullptr;
    std::array<CTEdit*, SecurityBlock::kWepKeyCount> keys_{};
    std::array<QComboBox*, SecurityBlock::kWepKeyCount> types_{};
};

} // namespace rf
