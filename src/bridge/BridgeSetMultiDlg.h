#pragma once

#include "ui/TDialog.h"

#include <functional>

class QRadioButton;

namespace rf {

class CTButtonPicture;
struct Settings;
struct SkinPaths;

// "Set Bridge" for the ticked devices: transparent bridging on or off for all of them. Save hands the
// value to the status page, which sends it; Cancel and the close button send nothing.
class CBridgeSetMultiDlg : public CTDialog {
    Q_OBJECT

public:
    using SaveHandler = std::function<void(bool on)>;

    CBridgeSetMultiDlg(const Settings& settings, const SkinPaths& skin, int openingValue, SaveHandler onSave,
                       QWidget* parent = nullptr);

    int SwitchValue() const { return switchValue_; }
    QRadioButton* EnableButton() const { return enable_; }
    QRadioButton* DisableButton() const { return disable_; }
    void OnSave();

private:
    SaveHandler onSave_;
    int switchValue_ = 0;
    QRadioButton* enable_ = nullptr;
    QRadioButton* disable_ = nullptr;
};

} // namespace rf
