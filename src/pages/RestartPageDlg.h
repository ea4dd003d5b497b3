#pragma once

#include "operations/DeviceOutcome.h"
#include "operations/SelectedDevice.h"
#include "pages/RestartPageSetup.h"
#include "pages/WorkerSlot.h"
#include "shell/Page.h"
#include "shell/PageContext.h"
#include "shell/WaitDlg.h"

#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

namespace rf {

class CDeviceList;
class CTButtonPicture;
class CTStatic;

// A page that restarts the ticked devices with one request each (reboot, factory reset): it sends the
// batch on a worker, holds the user in the one-minute wait while the devices restart, shows the stored
// status of every ticked device once a second meanwhile, searches at the end and reloads the list a
// second later. The summary of the batch stays beside the button until the next action.
class CRestartPageDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kWaitSeconds = 60;
    static constexpr int kStatusTickMs = 1000;
    static constexpr int kReloadDelayMs = 1000;

    CRestartPageDlg(const PageContext& context, const RestartPageSetup& setup, QWidget* parent);
    ~CRestartPageDlg() override;

    void RefreshList() override;
    void ShowListPage(int page) override;

    // The action button: collect, confirm, send, wait.
    void OnAction();
    // One second of the wait: the ticked rows show what the store now holds.
    void UpdateSelectedStatus();

    CDeviceList& List() const { return *list_; }
    CTButtonPicture* ActionButton() const { return action_; }
    CTStatic* BatchSummary() const { return summary_; }
    QTimer& StatusTimer() { return statusTimer_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    // The wait dialog while it is up.
    CWaitDlg* WaitDialog() const { return wait_; }
    const std::vector<SelectedDevice>& Selection() const { return selection_; }
    bool BatchRunning() const { return worker_.Running(); }
    // Lets the running batch finish (tests).
    void FinishWorkers() { worker_.Wait(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void StartBatch();
    void RunWait();
    // On the interface thread, when the batch has ended.
    void OnBatchFinished(const BatchResult& result);
    // The summary appears once both the batch and the wait are over.
    void ShowSummaryWhenDone();
    void ClearBatchSummary();

    PageContext context_;
    RestartPageSetup setup_;
    CDeviceList* list_ = nullptr;
    CTButtonPicture* action_ = nullptr;
    CTStatic* summary_ = nullptr;
    QWidget* separator_ = nullptr;
    QTimer statusTimer_;
    QTimer reloadTimer_;
    QPointer<CWaitDlg> wait_;
    std::vector<SelectedDevice> selection_;
    std::optional<BatchResult> result_;
    WorkerSlot worker_;
};

} // namespace rf
