#pragma once

#include "pages/IpBatch.h"
#include "pages/SelectedDevice.h"
#include "ui/TDialog.h"

#include <QTimer>
#include <functional>
#include <vector>

class QProgressBar;

namespace rf {

class CIpAddressEdit;
class CNetManagement;
class CTButtonPicture;
class CTStatic;
struct Settings;
struct SkinPaths;

// "Set IP" for the ticked devices: a range of addresses handed out in order and the settings they share.
// Save hands the batch to the status page's worker, then waits 14.5 seconds with a progress bar while it
// searches three times, so that the devices are found again at their new addresses.
class CIpsetMutilDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kTotalTicks = 30;
    static constexpr int kSearchPasses = 3;
    static constexpr int kTickMs = 500;
    using SaveHandler = std::function<void(const IpBatch&)>;

    CIpsetMutilDlg(CNetManagement& engine, const Settings& settings, const SkinPaths& skin,
                   const IpSettingsBlock& current, std::vector<SelectedDevice> selection, SaveHandler onSave,
                   QWidget* parent = nullptr);

    void OnSave();
    // One step of the wait after Save.
    void OnProgressTick();

    QTimer& ProgressTimer() { return timer_; }
    QProgressBar* Progress() const { return progress_; }
    CIpAddressEdit* StartField() const { return start_; }
    CIpAddressEdit* EndField() const { return end_; }
    CIpAddressEdit* MaskField() const { return mask_; }
    CIpAddressEdit* GatewayField() const { return gateway_; }
    CIpAddressEdit* Dns1Field() const { return dns1_; }
    CIpAddressEdit* Dns2Field() const { return dns2_; }

private:
    void BuildFields(const IpSettingsBlock& current);
    void BuildButtons(const SkinPaths& skin);
    void SetInputsEnabled(bool enabled);

    CNetManagement& engine_;
    const Settings& settings_;
    std::vector<SelectedDevice> selection_;
    SaveHandler onSave_;
    CIpAddressEdit* start_ = nullptr;
    CIpAddressEdit* end_ = nullptr;
    CIpAddressEdit* mask_ = nullptr;
    CIpAddressEdit* gateway_ = nullptr;
    CIpAddressEdit* dns1_ = nullptr;
    CIpAddressEdit* dns2_ = nullptr;
    CTButtonPicture* save_ = nullptr;
    CTButtonPicture* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer timer_;
    int counter_ = 0;
    int remaining_ = 0;
};

} // namespace rf
