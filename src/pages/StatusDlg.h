#pragma once

#include "operations/BatchPlan.h"
#include "operations/DeviceOutcome.h"
#include "operations/IpBatch.h"
#include "operations/SearchCycle.h"
#include "operations/SelectedDevice.h"
#include "pages/DeviceListPage.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <string>
#include <vector>

namespace rf {

class CTButtonPicture;
class CTPicture;

// The device status page: searches for devices, lists them, renames a device in place, opens its web
// interface and starts the "Set IP" and "Set Bridge" batches on the ticked devices.
class CStatusDlg : public CDeviceListPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 2000;

    CStatusDlg(const PageContext& context, QWidget* parent);

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

    CTButtonPicture* SearchButton() const { return search_; }
    CTButtonPicture* SetIpButton() const { return setIp_; }
    CTButtonPicture* SetBridgeButton() const { return setBridge_; }
    CTPicture* SearchAnimation() const { return animation_; }
    QTimer& SearchTimer() { return searchTimer_; }

protected:
    int SummaryLeft() const override;
    void OnDeviceClicked(int row, int column) override;
    // F5 searches, unless a search runs already.
    void OnRefreshKey() override;
    std::vector<RowAction> RowActions(int row) override;

private:
    void BuildButtons();
    void StartSearch();
    void EndSearch();
    void SetSearchControls(bool searching);
    void SetNavigationEnabled(bool on);
    // Runs the plan on the batch worker; its outcome is shown when it ends.
    void StartBatch(const char* operationKey, const BatchPlan& plan);
    // On the interface thread: shows the outcome and reloads the list soon.
    void OnBatchFinished(const std::string& operationKey, const BatchPlan& plan, const BatchResult& result);
    // After a reload: the rename editor follows its device to its new row, or closes when it is gone.
    void PlaceRenameEditor();
    // The editor over the Location cell of the row, holding text.
    void OpenRenameEditor(int row, const std::string& mac, const QString& text);

    CTButtonPicture* search_ = nullptr;
    CTButtonPicture* setIp_ = nullptr;
    CTButtonPicture* setBridge_ = nullptr;
    CTPicture* animation_ = nullptr;
    SearchCycle cycle_;
    QTimer searchTimer_;

    QPointer<QLineEdit> renameEditor_;
    std::string renameMac_;
    std::string oldName_;

    IpSettingsBlock currentIpBlock_{};
};

} // namespace rf
