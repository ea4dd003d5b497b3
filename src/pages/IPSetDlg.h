#pragma once

#include "operations/IpBatch.h"
#include "ui/TDialog.h"

#include <array>
#include <string>

namespace rf {

class CIpAddressEdit;
class CSqlManagement;
struct Settings;

// The IP tab of the configuration dialog: one device's address, mask, gateway and two DNS servers,
// prefilled from its current settings. mac names the device, whose own address is never "in use".
class CIPSetDlg : public CTDialog {
    Q_OBJECT

public:
    CIPSetDlg(const Settings& settings, CSqlManagement& store, std::string mac,
              const IpSettingsBlock& opening, QWidget* parent = nullptr);

    // On Save of the configuration dialog: false (after telling the user why) when the input must be
    // corrected; otherwise whether anything changed and the block to send.
    bool CollectIpSettings(bool& changed, IpSettingsBlock& block);

    // The five fields as typed.
    IpSettingsTexts Texts() const;

    CIpAddressEdit* Field(size_t index) const { return fields_[index]; }
    bool Changed() const { return changed_; }
    const IpSettingsBlock& NewBlock() const { return newBlock_; }

private:
    CSqlManagement& store_;
    std::string mac_;
    IpSettingsBlock opening_;
    std::array<CIpAddressEdit*, 5> fields_{};
    bool changed_ = false;
    IpSettingsBlock newBlock_{};
};

} // namespace rf
