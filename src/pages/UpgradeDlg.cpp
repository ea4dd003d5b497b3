#include "pages/UpgradeDlg.h"

#include "operations/UpgradeChecks.h"
#include "operations/UpgradeResult.h"
#include "pages/DeviceList.h"
#include "pages/FirmwareServerHost.h"
#include "pages/PageParts.h"
#include "pages/UpgradeConfigDlg.h"
#include "protocol/NetManagement.h"
#include "relayd/FirmwareServer.h"
#include "shell/PageIds.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"

namespace rf {
namespace {

// One line per device for the summary's tool tip.
std::string DetailText(const std::vector<UpgradeDeviceResult>& results) {
    std::string text;
    for (const UpgradeDeviceResult& result : results) {
        text +=
            (text.empty() ? "" : "\n") + result.mac + "  " + result.ip + "  " + UpgradeOutcomeText(result);
    }
    return text;
}

} // namespace

CUpgradeDlg::CUpgradeDlg(const PageContext& context, QWidget* parent)
    : CDeviceListPage(context, kPageUpgrade, "UpgradeDlg", kReloadDelayMs, parent),
      server_(std::make_unique<CFirmwareServerHost>(std::make_unique<CFirmwareServer>(system_))) {
    BuildControls();
    FinishControls();
}

CUpgradeDlg::~CUpgradeDlg() = default;

void CUpgradeDlg::UseFirmwareServer(const std::string& programDirectory, const std::string& launcher,
                                    std::chrono::milliseconds answerLimit) {
    server_ = std::make_unique<CFirmwareServerHost>(
        std::make_unique<CFirmwareServer>(system_, programDirectory, CFirmwareServer::kProgramName,
                                          std::string(), launcher),
        answerLimit);
}

void CUpgradeDlg::BuildControls() {
    action_ = new CTButtonPicture(this);
    action_->setObjectName(QStringLiteral("actionButton"));
    action_->SetImage(ToQString(Context().skin.btnSearch));
    action_->SetPageButtonLook(Context().settings);
    action_->SetText(QStringLiteral("Upgrade"));
    action_->setGeometry(10, 14, kButtonWidth, kButtonHeight);
    connect(action_, &CTButtonPicture::clicked, this, &CUpgradeDlg::OnAction);
}

int CUpgradeDlg::SummaryLeft() const {
    return action_->geometry().right() + 12;
}

void CUpgradeDlg::OnAction() {
    ClearBatchSummary();
    std::vector<SelectedDevice> selection = List().CollectSelectedDevices();
    if (const std::string refusal = CheckUpgradeCount(selection.size()); !refusal.empty()) {
        MessageBox::warning(this, TranslateText(refusal));
        return;
    }
    RunDialog(std::move(selection));
}

// Modal: the page's list shows the statuses the dialog hands it meanwhile.
void CUpgradeDlg::RunDialog(std::vector<SelectedDevice> selection) {
    const PageContext& context = Context();
    CUpgradeConfigDlg dialog(
        context.engine, context.store, context.settings, context.skin, *server_, std::move(selection),
        [this](const std::string& mac, int32_t status) { List().ShowStatus(mac, status); }, this);
    dialog_ = &dialog;
    dialog.exec();
    dialog_ = nullptr;
    dialog.FinishWorkers();
    const std::vector<UpgradeDeviceResult> results = dialog.Results();
    if (!results.empty()) {
        ShowBatchSummary(UpgradeSummaryText(results), DetailText(results));
    }
    context.engine.SearchDevices();
    ReloadTimer().start();
}

} // namespace rf
