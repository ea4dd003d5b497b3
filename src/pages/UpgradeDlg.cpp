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
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kSeparatorY = 56;

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
    : CPage(kPageUpgrade, parent), context_(context),
      server_(std::make_unique<CFirmwareServerHost>(std::make_unique<CFirmwareServer>(system_))) {
    setObjectName(QStringLiteral("UpgradeDlg"));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ =
        new CDeviceList(context.engine, context.store, context.settings, context.skin, kPageUpgrade, this);
    BuildControls();
    TranslateWindow(this);

    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CUpgradeDlg::~CUpgradeDlg() = default;

void CUpgradeDlg::UseFirmwareServer(const std::string& programDirectory) {
    server_ =
        std::make_unique<CFirmwareServerHost>(std::make_unique<CFirmwareServer>(system_, programDirectory));
}

void CUpgradeDlg::BuildControls() {
    action_ = new CTButtonPicture(this);
    action_->setObjectName(QStringLiteral("actionButton"));
    action_->SetImage(ToQString(context_.skin.btnSearch));
    action_->SetPageButtonLook(context_.settings);
    action_->SetText(QStringLiteral("Upgrade"));
    action_->setGeometry(10, 14, kButtonWidth, kButtonHeight);
    connect(action_, &CTButtonPicture::clicked, this, &CUpgradeDlg::OnAction);
    summary_ = MakeBatchSummaryLine(context_.settings, this);
    separator_ = MakeSeparatorLine(context_.settings, this);
}

void CUpgradeDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    const int summaryX = action_->geometry().right() + 12;
    summary_->setGeometry(summaryX, 14, std::max(0, width() - summaryX - 250), kButtonHeight);
}

void CUpgradeDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CUpgradeDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CUpgradeDlg::OnAction() {
    summary_->clear();
    summary_->setToolTip(QString());
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(false);
    if (const std::string refusal = CheckUpgradeCount(selection.size()); !refusal.empty()) {
        MessageBox::warning(this, TranslateText(refusal));
        return;
    }
    RunDialog(std::move(selection));
}

// Modal: the page's list shows the statuses the dialog hands it meanwhile.
void CUpgradeDlg::RunDialog(std::vector<SelectedDevice> selection) {
    CUpgradeConfigDlg dialog(
        context_.engine, context_.store, context_.settings, context_.skin, *server_, std::move(selection),
        [this](const std::string& mac, int32_t status) { list_->ShowStatus(mac, status); }, this);
    dialog_ = &dialog;
    dialog.exec();
    dialog_ = nullptr;
    dialog.FinishWorkers();
    const std::vector<UpgradeDeviceResult> results = dialog.Results();
    if (!results.empty()) {
        summary_->setText(ToQString(UpgradeSummaryText(results)));
        summary_->setToolTip(ToQString(DetailText(results)));
    }
    context_.engine.SearchDevices();
    reloadTimer_.start();
}

} // namespace rf
