#include "pages/RestartPageDlg.h"

#include "operations/BatchRunner.h"
#include "pages/DeviceList.h"
#include "pages/PageParts.h"
#include "protocol/NetManagement.h"
#include "shell/WaitDlg.h"
#include "store/SqlManagement.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"

namespace rf {

CRestartPageDlg::CRestartPageDlg(const PageContext& context, const RestartPageSetup& setup, QWidget* parent)
    : CDeviceListPage(context, setup.pageId, setup.objectName, kReloadDelayMs, parent), setup_(setup) {
    BuildControls();
    FinishControls();

    statusTimer_.setInterval(kStatusTickMs);
    connect(&statusTimer_, &QTimer::timeout, this, &CRestartPageDlg::UpdateSelectedStatus);
}

void CRestartPageDlg::BuildControls() {
    action_ = new CTButtonPicture(this);
    action_->setObjectName(QStringLiteral("actionButton"));
    action_->SetImage(ToQString(Context().skin.btnSearch));
    action_->SetPageButtonLook(Context().settings);
    action_->SetText(QString::fromUtf8(setup_.operation->titleKey));
    action_->setGeometry(10, 14, kButtonWidth, kButtonHeight);
    connect(action_, &CTButtonPicture::clicked, this, &CRestartPageDlg::OnAction);
}

int CRestartPageDlg::SummaryLeft() const {
    return action_->geometry().right() + 12;
}

void CRestartPageDlg::OnAction() {
    std::vector<SelectedDevice> selection = BeginBatch(*setup_.operation);
    if (selection.empty()) {
        return;
    }
    if (!MessageBox::confirm(this, ConfirmText(selection.size()),
                             setup_.cancelByDefault ? MessageBox::Cancel : MessageBox::Ok)) {
        return;
    }
    selection_ = std::move(selection);
    StartBatch();
    RunWait();
}

QString CRestartPageDlg::ConfirmText(size_t devices) const {
    if (devices > 1 && setup_.confirmSeveralKey != nullptr) {
        return TranslateText(setup_.confirmSeveralKey).arg(static_cast<qulonglong>(devices));
    }
    return TranslateText(setup_.confirmKey);
}

void CRestartPageDlg::StartBatch() {
    result_.reset();
    BatchPlan plan = setup_.plan(Context().store, selection_);
    RunBatchWork(
        [this, plan](const std::stop_token& stop) {
            return RunBatch(Context().engine, Context().store, plan, stop);
        },
        [this, plan](const BatchResult& result) { OnBatchFinished(plan, result); });
}

// Modal: the user waits here while the devices restart; the page's timers keep running.
void CRestartPageDlg::RunWait() {
    statusTimer_.start();
    CWaitDlg dialog(Context().engine, Context().skin, kWaitSeconds, true, setup_.waitSearches, this);
    wait_ = &dialog;
    dialog.exec();
    wait_ = nullptr;
    statusTimer_.stop();
    Context().engine.SearchDevices();
    ReloadTimer().start();
    ShowSummaryWhenDone();
}

void CRestartPageDlg::UpdateSelectedStatus() {
    for (const SelectedDevice& device : selection_) {
        List().ShowStatus(device.Mac(), ToCode(Context().store.GetDeviceStatus(device.Mac())));
    }
}

void CRestartPageDlg::OnBatchFinished(const BatchPlan& plan, const BatchResult& result) {
    result_ = result;
    details_ = BatchDetailText(plan, result);
    ShowSummaryWhenDone();
}

void CRestartPageDlg::ShowSummaryWhenDone() {
    if (wait_ || !result_) {
        return;
    }
    std::string line = BatchSummaryText(setup_.operation->titleKey, *result_);
    if (const std::string unreached = BatchUnreachedText(*result_); !unreached.empty()) {
        line += " (" + unreached + ")";
    }
    ShowBatchSummary(line, details_);
    result_.reset();
}

} // namespace rf
