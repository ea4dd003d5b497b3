#pragma once

#include "operations/DeviceOutcome.h"
#include "operations/SelectedDevice.h"
#include "pages/DeviceListPage.h"
#include "pages/RestartPageSetup.h"
#include "shell/WaitDlg.h"

#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

namespace rf {

class CTButtonPicture;

// A page that restarts the ticked devices with one request each (reboot, factory reset): it sends the
// batch on a worker, holds the user in the one-minute wait while the devices restart, shows the stored
// status of every ticked device once a second meanwhile, searches at the end and reloads the list a
// second later. The summary of the batch stays beside the button until the next action.
class CRestartPageDlg : public CDeviceListPage {
    Q_OBJECT

public:
    static constexpr int kWaitSeconds = 60;
    static constexpr int kStatusTickMs = 1000;
    static constexpr int kReloadDelayMs = 1000;

    CRestartPageDlg(const PageContext& context, const RestartPageSetup& setup, QWidget* parent);

    // The action button: collect, confirm, send, wait.
    void OnAction();
    // One second of the wait: the ticked rows show what the store now holds.
    void UpdateSelectedStatus();

    CTButtonPicture* ActionButton() const { return action_; }
    QTimer& StatusTimer() { return statusTimer_; }
    // The wait dialog while it is up.
    CWaitDlg* WaitDialog() const { return wait_; }
    const std::vector<SelectedDevice>& Selection() const { return selection_; }

protected:
    int SummaryLeft() const override;
    std::vector<RowAction> RowActions(int /*row*/) override {
        return {{setup_.operation->titleKey, "menuAction",
                 [this](int row) { RunForRow(row, [this] { OnAction(); }); }}};
    }

private:
    void BuildControls();
    // The question before sending to this many devices.
    QString ConfirmText(size_t devices) const;
    void StartBatch();
    void RunWait();
    // On the interface thread, when the batch has ended.
    void OnBatchFinished(const BatchPlan& plan, const BatchResult& result);
    // The summary appears once both the batch and the wait are over.
    void ShowSummaryWhenDone();

    RestartPageSetup setup_;
    CTButtonPicture* action_ = nullptr;
    QTimer statusTimer_;
    QPointer<CWaitDlg> wait_;
    std::vector<SelectedDevice> selection_;
    std::optional<BatchResult> result_;
    std::string details_; // the result's lines, one per device
};

} // namespace rf
