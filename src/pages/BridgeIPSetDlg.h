#pragma once

#include "operations/BridgeForms.h"
#include "ui/TDialog.h"

#include <array>
#include <functional>
#include <string>

namespace rf {

class CIpAddressEdit;
struct Settings;

// The wizard's third step: the IP settings the device will have once bridged, opened on its current ones.
// Collect applies the address rules every time (changed or not) and refuses an address another stored
// device has; the device's own address is never counted as in use.
class CBridgeIPSetDlg : public CTDialog {
    Q_OBJECT

public:
    enum Field { kIp, kMask, kGateway, kDns1, kDns2, kFieldCount };

    CBridgeIPSetDlg(const Settings& settings, QWidget* parent);

    void Prefill(const DeviceInfo& info);
    IpSettingsTexts Texts() const;
    // False (after showing the message) when refused; otherwise block holds the settings to send.
    bool Collect(const std::function<bool(const std::string&)>& usedByAnother, IpSettingsBlock& block);

    CIpAddressEdit* FieldEdit(Field field) const { return fields_[static_cast<size_t>(field)]; }

private:
    std::array<CIpAddressEdit*, kFieldCount> fields_{};
};

} // namespace rf
