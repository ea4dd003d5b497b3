#pragma once

#include "pages/IpBatch.h"
#include "pages/SearchCycle.h"
#include "pages/SelectedDevice.h"
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

    // In-place rename of the Location cell of a row.
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
    // Lets the running workers finish their sends (tests).
    void FinishWorkers();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildButtons();
    void OnDeviceClicked(int row, int column);
    void StartSearch();
    void EndSearch();
    void SetSearchControls(bool searching);
    void StartIpWorker(const IpBatch& batch, std::vector<SelectedDevice> devices);
    void StartBridgeWorker(bool on, std::vector<SelectedDevice> devices);
    // From a worker thread: the reload timer starts on the interface thread.
    void ReloadSoon();

    PageContext context_;
    CDeviceList* list_ = nullptr;
    CTButtonPicture* search_ = nullptr;
    CTButtonPicture* setIp_ = nullptr;
    CTButtonPicture* setBridge_ = nullptr;
    CTPicture* animation_ = nullptr;
    QWidget* separator_ = nullptr;
    SearchCycle cycle_;
    QTimer searchTimer_;
    QTimer reloadTimer_;

    QPointer<QLineEdit> renameEditor_;
    int renameRow_ = -1;
    std::string oldName_;

    IpSettingsBlock currentIpBlock_{};
    WorkerSlot renameWorker_;
    WorkerSlot ipWorker_;
    WorkerSlot bridgeWorker_;
};

} // namespace rf
