#include "pages/BridgeDlg.h"

#include "operations/BatchRunner.h"
#include "operations/OperationCatalogue.h"
#include "pages/BridgeConfigDlg.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

namespace rf {

CBridgeDlg::CBridgeDlg(const PageContext& context, QWidget* parent)
    : CDeviceListPage(context, kPageBridge, "BridgeDlg", kReloadDelayMs, parent) {
    FinishControls();
}

CBridgeConfigDlg* CBridgeDlg::Wizard() const {
    return wizard_;
}

void CBridgeDlg::OpenWizard(int row) {
    ap_info_stu record;
    if (!StoredDeviceOfRow(row, record)) {
        return;
    }
    const PageContext& context = Context();
    context.navigation.SetAutoRefresh(false);
    if (const std::optional<Refusal> refusal = CheckBridgeStart(record)) {
        MessageBox::warning(this, TranslateText(refusal->messageKey));
    } else {
        CBridgeConfigDlg wizard(context.settings, context.skin, context.engine, context.store, record, this);
        wizard_ = &wizard;
        const bool saved = wizard.exec() == QDialog::Accepted;
        wizard_ = nullptr;
        if (saved) {
            StartSend(CheckBridge(record, wizard.BridgeSettings()));
        }
    }
    context.navigation.SetAutoRefresh(true);
    ReloadTimer().start();
}

void CBridgeDlg::StartSend(const CheckResult& check) {
    if (!check.Accepted()) {
        MessageBox::warning(this, TranslateText(check.refusal->messageKey));
        return;
    }
    ClearBatchSummary();
    RunBatchWork(
        [this, plan = check.plan](const std::stop_token& stop) {
            return RunBatch(Context().engine, Context().store, plan, stop);
        },
        [this, plan = check.plan](const BatchResult& result) { OnSendFinished(plan, result); });
}

void CBridgeDlg::OnSendFinished(const BatchPlan& plan, const BatchResult& result) {
    // The device's answer: its result byte says whether it took the settings. Its status shows the same
    // until its details come again.
    const DeviceOutcome outcome = result.devices.empty() ? DeviceOutcome::NotSent : result.devices[0].outcome;
    const char* answer = JoinAnswerKey(outcome);
    const std::string line = BatchSummaryText(kJoinEntry.titleKey, result);
    ShowBatchSummary(answer == nullptr ? line : ToStdString(TranslateText(answer)) + " - " + line,
                     BatchDetailText(plan, result));
}

} // namespace rf
