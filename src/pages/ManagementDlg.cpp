#include "pages/ManagementDlg.h"

#include "operations/ConfigurationSave.h"
#include "operations/DeviceOperations.h"
#include "pages/ManagementConfigDlg.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"

namespace rf {
CManagementDlg::CManagementDlg(const PageContext& context, QWidget* parent)
    : CDeviceListPage(context, kPageManagement, "ManagementDlg", kReloadDelayMs, parent) {
    FinishControls();
}

CManagementConfigDlg* CManagementDlg::ConfigDialog() const {
    return config_;
}

void CManagementDlg::OpenConfiguration(int row) {
    ap_info_stu record;
    if (!StoredDeviceOfRow(row, record)) {
        return;
    }
    const PageContext& context = Context();
    context.navigation.SetAutoRefresh(false);
    CManagementConfigDlg dialog(context.settings, context.skin, context.store, record, this);
    config_ = &dialog;
    const bool saved = dialog.exec() == QDialog::Accepted;
    config_ = nullptr;
    context.navigation.SetAutoRefresh(true);
    if (saved && !dialog.Changes().Empty()) {
        ClearBatchSummary();
        const SelectedDevice device =
            SelectedDevice::Make(IpBytesToText(record.device_info().ip()), record.mac(), record.ap_type());
        StartSend(PlanConfigure(device, record, dialog.Changes()), dialog.Changes());
        lastWait_ = WaitAfterConfigure(dialog.Changes());
        if (lastWait_) {
            RunWait(*lastWait_);
        }
    }
    ReloadTimer().start();
}

void CManagementDlg::StartSend(const std::vector<BatchPlan>& plans, const ConfigChanges& changes) {
    RunBatchWork(
        [this, plans, changes](const std::stop_token& stop) {
            return SaveConfiguration(Context().engine, Context().store, plans, changes, true, stop);
        },
        [this, plans](const std::vector<BatchResult>& results) { OnSendFinished(plans, results); });
}

void CManagementDlg::RunWait(const ConfigWait& wait) {
    CWaitDlg dialog(Context().engine, Context().skin, wait.seconds, wait.search, wait.searchPasses, this);
    wait_ = &dialog;
    dialog.exec();
    wait_ = nullptr;
}

void CManagementDlg::OnSendFinished(const std::vector<BatchPlan>& plans,
                                    const std::vector<BatchResult>& results) {
    std::string line;
    std::string details;
    for (size_t i = 0; i < plans.size() && i < results.size(); ++i) {
        line += (line.empty() ? "" : "; ") + BatchSummaryText(ConfigBlockKey(plans[i].type), results[i]);
        details += (details.empty() ? "" : "\n") + BatchDetailText(plans[i], results[i]);
    }
    ShowBatchSummary(line, details);
    if (wait_) {
        wait_->accept(); // the device is back, or no longer waited for
    }
}

} // namespace rf
