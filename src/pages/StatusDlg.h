#pragma once

#include "operations/BatchPlan.h"
#include "operations/DeviceOutcome.h"
#include "operations/IpBatch.h"
#include "operations/SearchCycle.h"
#include "operations/SelectedDevice.h"
#include "pages/WorkerSlot.h"
#include "shell/Page.h"
#include "shell/PageContext.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <string>
#include <vector>

namespace rf {

class CDeviceList;
class CTButtonPicture;
class CTPicture;
class CTStatic;

// The device status page: searches for devices, lists them, renames a device in place, opens its web
// interface and starts the "Set IP" and "Set Bridge" batches on the ticked devices.
class CStatusDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kSearchTickMs = 1000;
    static constexpr int kReloadDelayMs = 2000;

    CStatusDlg(const PageContext& context, QWidget* parent);
    ~CStatusDlg() override;

    void RefreshList() override;
    void ShowListPage(int page) override;

    // "Search" / "Stop".
    void OnSearchClicked();
    // One second of a running search.
    void OnSearchTick();
    void OnSetIp();
    void OnSetBridge();
    bool Searching() const { return cycle_.Running(); }

    // In-place rename of the Location cell of a row. The editor stays open across reloads; Enter or a
    // click elsewhere commits it, Escape cancels it.
    void BeginRename(int row);
    void EndRename();
    void CancelRename();
    QLineEdit* RenameEditor() const { return renameEditor_; }

    CDeviceList& List() const { return *list_; }
    CTButtonPicture* SearchButton() const { return search_; }
    CTButtonPicture* SetIpButton() const { return setIp_; }
    CTButtonPicture* SetBridgeButton() const { return setBridge_; }
    CTPicture* SearchAnimation() const { return animation_; }
    QTimer& SearchTimer() { return searchTimer_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    // The outcome of the last batch (rename, Set IP, Set Bridge), one line beside the buttons; the next
    // action clears it.
    CTStatic* BatchSummary() const { return summary_; }
    bool BatchRunning() const { return batchWorker_.Running(); }
    // Lets the running batch finish (tests).
    void FinishWorkers();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildButtons();
    void OnDeviceClicked(int row, int column);
    void StartSearch();
    void EndSearch();
    void SetSearchControls(bool searching);
    void SetNavigationEnabled(bool on);
    // Refuses with a message while a batch runs; true when a new one may start.
    bool MayStartBatch();
    // Runs the plan on the batch worker; its outcome is shown when it ends.
    void StartBatch(const char* operationKey, BatchPlan plan);
    // On the interface thread: shows the outcome and reloads the list soon.
    void OnBatchFinished(const std::string& operationKey, const BatchResult& result);
    void ClearBatchSummary();
    // After a reload: the rename editor follows its device to its new row, or closes when it is gone.
    void PlaceRenameEditor();

    PageContext context_;
    CDeviceList* list_ = nullptr;
    CTButtonPicture* search_ = nullptr;
    CTButtonPicture* setIp_ = nullptr;
    CTButtonPicture* setBridge_ = nullptr;
    CTPicture* animation_ = nullptr;
    CTStatic* summary_ = nullptr;
    QWidget* separator_ = nullptr;
    SearchCycle cycle_;
    QTimer searchTimer_;
    QTimer reloadTimer_;

    QPointer<QLineEdit> renameEditor_;
    std::string renameMac_;
    std::string oldName_;

    IpSettingsBlock currentIpBlock_{};
    WorkerSlot batchWorker_;
};

} // namespace rf
