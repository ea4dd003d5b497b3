#pragma once

#include "operations/BatchPlan.h"
#include "operations/IpBatch.h"
#include "operations/SelectedDevice.h"
#include "ui/TDialog.h"

#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

class QProgressBar;

namespace rf {

class CIpAddressEdit;
class CNetManagement;
class CSqlManagement;
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
    using SaveHandler = std::function<void(BatchPlan)>;

    // Save checks the range, hands each device an address that no stored device uses, and gives the plan
    // to onSave; it refuses one device's address in use, and asks before sending when the range leaves
    // devices without an address.
    CIpsetMutilDlg(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                   const SkinPaths& skin, const IpSettingsBlock& current,
                   std::vector<SelectedDevice> selection, SaveHandler onSave, QWidget* parent = nullptr);

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
    // The plan of the typed range, or nothing when the user must change it first.
    std::optional<BatchPlan> PlanFromFields();

    CNetManagement& engine_;
    CSqlManagement& store_;
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
