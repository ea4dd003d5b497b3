#pragma once

#include "operations/ConfigWait.h"
#include "operations/DeviceOutcome.h"
#include "pages/WorkerSlot.h"
#include "shell/Page.h"
#include "shell/PageContext.h"
#include "shell/WaitDlg.h"

#include <QPointer>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

namespace rf {

class CDeviceList;
class CManagementConfigDlg;
class CTStatic;
struct BatchPlan;

// The management page: the device list with an Operate button per row that opens the configuration
// dialog of that device. What an accepted Save changed goes to the device on the page's send worker
// (only the changed blocks, in the dialog's order); a wait covers the device's restart after a VLAN or IP
// change; the list reloads two seconds after the dialog closes, whether it was saved or cancelled.
class CManagementDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 2000;

    CManagementDlg(const PageContext& context, QWidget* parent);
    ~CManagementDlg() override;

    void RefreshList() override;
    void ShowListPage(int page) override;

    // The Operate button of a grid row: the configuration dialog of its device, modal.
    void OpenConfiguration(int row);

    CDeviceList& List() const { return *list_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    CTStatic* SendSummary() const { return summary_; }
    // The configuration or wait dialog while it is up.
    CManagementConfigDlg* ConfigDialog() const;
    CWaitDlg* WaitDialog() const { return wait_; }
    // The wait the last send needed (none when it needed none).
    const std::optional<ConfigWait>& LastWait() const { return lastWait_; }
    bool Sending() const { return worker_.Running(); }
    // Lets the running send finish (tests).
    void FinishWorkers() { worker_.Wait(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnDeviceClicked(int row, int column);
    // Starts the send worker with its own copy of the plans; a running one is stopped first.
    void StartSend(std::vector<BatchPlan> plans);
    void RunWait(const ConfigWait& wait);
    // On the interface thread, when the send has ended.
    void OnSendFinished(const std::vector<BatchPlan>& plans, const std::vector<BatchResult>& results);

    PageContext context_;
    CDeviceList* list_ = nullptr;
    CTStatic* summary_ = nullptr;
    QWidget* separator_ = nullptr;
    QTimer reloadTimer_;
    QPointer<CManagementConfigDlg> config_;
    QPointer<CWaitDlg> wait_;
    std::optional<ConfigWait> lastWait_;
    WorkerSlot worker_;
};

} // namespace rf
