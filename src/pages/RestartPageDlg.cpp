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
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kSeparatorY = 56;

} // namespace

CRestartPageDlg::CRestartPageDlg(const PageContext& context, const RestartPageSetup& setup, QWidget* parent)
    : CPage(setup.pageId, parent), context_(context), setup_(setup) {
    setObjectName(QString::fromLatin1(setup.objectName));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ =
        new CDeviceList(context.engine, context.store, context.settings, context.skin, setup.pageId, this);
    BuildControls();
    TranslateWindow(this);

    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    statusTimer_.setInterval(kStatusTickMs);
    connect(&statusTimer_, &QTimer::timeout, this, &CRestartPageDlg::UpdateSelectedStatus);
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CRestartPageDlg::~CRestartPageDlg() {
    worker_.Stop();
}

void CRestartPageDlg::BuildControls() {
    action_ = new CTButtonPicture(this);
    action_->setObjectName(QStringLiteral("actionButton"));
    action_->SetImage(ToQString(context_.skin.btnSearch));
    action_->SetPageButtonLook(context_.settings);
    action_->SetText(QString::fromUtf8(setup_.actionKey));
    action_->setGeometry(10, 14, kButtonWidth, kButtonHeight);
    connect(action_, &CTButtonPicture::clicked, this, &CRestartPageDlg::OnAction);

    summary_ = MakeBatchSummaryLine(context_.settings, this);

    separator_ = MakeSeparatorLine(context_.settings, this);
}

void CRestartPageDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    const int summaryX = action_->geometry().right() + 12;
    summary_->setGeometry(summaryX, 14, std::max(0, width() - summaryX - 250), kButtonHeight);
}

void CRestartPageDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CRestartPageDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CRestartPageDlg::OnAction() {
    ClearBatchSummary();
    if (worker_.Running()) {
        MessageBox::warning(this,
                            TranslateText("Please wait until the devices have answered the last request!"));
        return;
    }
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(false);
    if (selection.empty()) {
        MessageBox::warning(this, TranslateText("Please select the devices!"));
        return;
    }
    if (!MessageBox::confirm(this, TranslateText(setup_.confirmKey))) {
        return;
    }
    selection_ = std::move(selection);
    StartBatch();
    RunWait();
}

void CRestartPageDlg::StartBatch() {
    result_.reset();
    BatchPlan plan = setup_.plan(context_.store, selection_);
    worker_.Start([this, plan = std::move(plan)](std::stop_token stop) {
        BatchResult result = RunBatch(context_.engine, context_.store, plan, stop);
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [this, result = std::move(result)] { OnBatchFinished(result); }, Qt::QueuedConnection);
        }
    });
}

// Modal: the user waits here while the devices restart; the page's timers keep running.
void CRestartPageDlg::RunWait() {
    statusTimer_.start();
    CWaitDlg dialog(context_.engine, context_.skin, kWaitSeconds, true, setup_.waitSearches, this);
    wait_ = &dialog;
    dialog.exec();
    wait_ = nullptr;
    statusTimer_.stop();
    context_.engine.SearchDevices();
    reloadTimer_.start();
    ShowSummaryWhenDone();
}

void CRestartPageDlg::UpdateSelectedStatus() {
    for (const SelectedDevice& device : selection_) {
        list_->ShowStatus(device.Mac(), ToCode(context_.store.GetDeviceStatus(device.Mac())));
    }
}

void CRestartPageDlg::OnBatchFinished(const BatchResult& result) {
    result_ = result;
    ShowSummaryWhenDone();
}

void CRestartPageDlg::ShowSummaryWhenDone() {
    if (wait_ || !result_) {
        return;
    }
    std::string line = BatchSummaryText(setup_.actionKey, *result_);
    if (const std::string unreached = BatchUnreachedText(*result_); !unreached.empty()) {
        line += " (" + unreached + ")";
    }
    summary_->setText(ToQString(line));
    summary_->setToolTip(ToQString(BatchDetailText(*result_)));
    result_.reset();
}

void CRestartPageDlg::ClearBatchSummary() {
    summary_->clear();
    summary_->setToolTip(QString());
}

} // namespace rf
