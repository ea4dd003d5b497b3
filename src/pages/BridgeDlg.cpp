#include "pages/BridgeDlg.h"

#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "pages/BridgeConfigDlg.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

namespace rf {
namespace {

constexpr const char* kModeSwitchMessage =
    "The Mode Switch is at AP position, please switch it to Off position "
    "to modify to other operating mode.";

// The mode switch lets the device become a station when it is off (0) or at the station position (2).
bool ModeSwitchAllowsBridge(const ap_info_stu& record) {
    const int position = record.device_info().mode_btn_status();
    return position == 0 || position == 2;
}

} // namespace

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
    if (!ModeSwitchAllowsBridge(record)) {
        MessageBox::warning(this, TranslateText(kModeSwitchMessage));
    } else {
        CBridgeConfigDlg wizard(context.settings, context.skin, context.engine, context.store, record, this);
        wizard_ = &wizard;
        const bool saved = wizard.exec() == QDialog::Accepted;
        wizard_ = nullptr;
        if (saved) {
            StartSend(IpBytesToText(record.device_info().ip()), record.mac(), record.ap_type(),
                      wizard.BridgeSettings());
        }
    }
    context.navigation.SetAutoRefresh(true);
    ReloadTimer().start();
}

void CBridgeDlg::StartSend(const std::string& ip, const std::string& mac, int model,
                           const DeviceInfo& settings) {
    ClearBatchSummary();
    const BatchPlan plan = PlanBridge(SelectedDevice::Make(ip, mac, model), settings);
    RunBatchWork(
        [this, plan](const std::stop_token& stop) {
            return RunBatch(Context().engine, Context().store, plan, stop);
        },
        [this](const BatchResult& result) { OnSendFinished(result); });
}

void CBridgeDlg::OnSendFinished(const BatchResult& result) {
    // The device's answer: its result byte says whether it took the settings. Its status shows the same
    // until its details come again.
    const DeviceOutcome outcome = result.devices.empty() ? DeviceOutcome::NotSent : result.devices[0].outcome;
    const bool answered = IsSuccess(outcome) || outcome == DeviceOutcome::NotApplied;
    const char* answer = answered                            ? "Bridge success"
                         : outcome == DeviceOutcome::Refused ? "Bridge fail"
                                                             : nullptr;
    const std::string line = BatchSummaryText("Device bridge", result);
    ShowBatchSummary(answer == nullptr ? line : ToStdString(TranslateText(answer)) + " - " + line,
                     BatchDetailText(result));
}

} // namespace rf
