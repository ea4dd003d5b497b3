#pragma once

#include "operations/ConfigWait.h"
#include "operations/DeviceOutcome.h"
#include "pages/DeviceListPage.h"
#include "shell/WaitDlg.h"

#include <QPointer>
#include <optional>
#include <string>
#include <vector>

namespace rf {

class CManagementConfigDlg;
struct BatchPlan;

// The management page: the device list with an Operate button per row that opens the configuration
// dialog of that device. What an accepted Save changed goes to the device on the page's send worker
// (only the changed blocks, in the dialog's order, see SaveConfiguration); a wait dialog covers the
// device's restart after a VLAN or IP change and closes when the send has seen the device back; the list
// reloads two seconds after the dialog closes, whether it was saved or cancelled.
class CManagementDlg : public CDeviceListPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 2000;

    CManagementDlg(const PageContext& context, QWidget* parent);

    // The Operate button of a grid row: the configuration dialog of its device, modal.
    void OpenConfiguration(int row);

    // The configuration or wait dialog while it is up.
    CManagementConfigDlg* ConfigDialog() const;
    CWaitDlg* WaitDialog() const { return wait_; }
    // The wait the last send needed (none when it needed none).
    const std::optional<ConfigWait>& LastWait() const { return lastWait_; }

protected:
    void OnOperate(int row) override { OpenConfiguration(row); }
    std::vector<RowAction> RowActions(int /*row*/) override {
        return {{"Configure", "menuConfigure", [this](int row) { OpenConfiguration(row); }}};
    }

private:
    // Starts the send worker with its own copy of the plans; a running one is stopped first.
    void StartSend(const std::vector<BatchPlan>& plans, const ConfigChanges& changes);
    void RunWait(const ConfigWait& wait);
    // On the interface thread, when the send has ended.
    void OnSendFinished(const std::vector<BatchPlan>& plans, const std::vector<BatchResult>& results);

    QPointer<CManagementConfigDlg> config_;
    QPointer<CWaitDlg> wait_;
    std::optional<ConfigWait> lastWait_;
};

} // namespace rf
