#include "pages/StatusDlg.h"

#include "bridge/BridgeSetMultiDlg.h"
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "operations/FreshSearch.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/IpsetMutilDlg.h"
#include "pages/PageParts.h"
#include "protocol/NetManagement.h"
#include "rules/DeviceRules.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "store/SqlManagement.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TMultiPages.h"
#include "ui/TPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QUrl>

namespace rf {
namespace {

constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kSeparatorY = 56;

} // namespace

CStatusDlg::CStatusDlg(const PageContext& context, QWidget* parent)
    : CPage(kPageStatus, parent), context_(context) {
    setObjectName(QStringLiteral("StatusDlg"));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ = new CDeviceList(context.engine, context.store, context.settings, context.skin, kPageStatus, this);
    BuildButtons();
    TranslateWindow(this);

    connect(list_, &CDeviceList::deviceClicked, this, &CStatusDlg::OnDeviceClicked);
    connect(list_, &CDeviceList::reloaded, this, &CStatusDlg::PlaceRenameEditor);
    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    searchTimer_.setInterval(kSearchTickMs);
    connect(&searchTimer_, &QTimer::timeout, this, &CStatusDlg::OnSearchTick);
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CStatusDlg::~CStatusDlg() {
    batchWorker_.Stop();
}

void CStatusDlg::FinishWorkers() {
    batchWorker_.Wait();
}

void CStatusDlg::BuildButtons() {
    const QString image = ToQString(context_.skin.btnSearch);
    int x = 10;
    for (auto [button, name, caption] :
         {std::tuple{&search_, "searchButton", "Search"}, std::tuple{&setIp_, "setIpButton", "Set IP"},
          std::tuple{&setBridge_, "setBridgeButton", "Set Bridge"}}) {
        *button = new CTButtonPicture(this);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->SetImage(image);
        (*button)->SetPageButtonLook(context_.settings);
        (*button)->SetText(QString::fromUtf8(caption));
        (*button)->setGeometry(x, 14, kButtonWidth, kButtonHeight);
        x += kButtonWidth + 12;
    }
    connect(search_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSearchClicked);
    connect(setIp_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSetIp);
    connect(setBridge_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSetBridge);

    animation_ = new CTPicture(this);
    animation_->setObjectName(QStringLiteral("searchAnimation"));
    animation_->Load(ToQString(context_.skin.waitSearch));
    animation_->SetBackgroundColour(ToQColor(context_.settings.childBkColor));
    animation_->setGeometry(x + 4, 13, 32, 32);
    animation_->hide();

    summary_ = MakeBatchSummaryLine(context_.settings, this);

    separator_ = MakeSeparatorLine(context_.settings, this);
}

void CStatusDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    const int summaryX = animation_->geometry().right() + 8;
    summary_->setGeometry(summaryX, 14, std::max(0, width() - summaryX - 250), kButtonHeight);
}

void CStatusDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CStatusDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CStatusDlg::OnSearchClicked() {
    ClearBatchSummary();
    if (cycle_.Running()) {
        EndSearch();
    } else {
        StartSearch();
    }
}

// A fresh search forgets devices that never sent their details and stored devices that no longer answer.
void CStatusDlg::StartSearch() {
    cycle_.Begin();
    StartFreshSearch(context_.engine);
    list_->ClearFilter();
    list_->Reload(1);
    SetSearchControls(true);
    searchTimer_.start();
}

void CStatusDlg::EndSearch() {
    cycle_.End();
    searchTimer_.stop();
    SetSearchControls(false);
    list_->ReloadCurrentPage();
}

void CStatusDlg::OnSearchTick() {
    const SearchCycle::Step step = cycle_.Tick();
    if (step.finished) {
        EndSearch();
    } else if (step.search) {
        context_.engine.SearchDevices();
        list_->Reload(1);
    }
}

void CStatusDlg::SetSearchControls(bool searching) {
    animation_->setVisible(searching);
    if (searching) {
        animation_->Start();
    } else {
        animation_->Stop();
    }
    search_->SetText(TranslateText(searching ? "Stop" : "Search"));
    list_->SetInteractive(!searching);
    context_.navigation.SetMenuEnabled(!searching);
    context_.navigation.SetAutoRefresh(!searching);
}

void CStatusDlg::OnDeviceClicked(int row, int column) {
    const DeviceRow* record = list_->Row(row);
    const DeviceField field = list_->Columns().FieldAt(column);
    if (field == kFieldOperate) {
        if (record != nullptr && !record->announced) {
            OpenInBrowser(this, QUrl(QStringLiteral("http://%1/").arg(ToQString(record->ip))));
        }
    } else if (field == kFieldLocation) {
        BeginRename(row);
    }
}

void CStatusDlg::OnSetIp() {
    ClearBatchSummary();
    if (!MayStartBatch()) {
        return;
    }
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(false);
    if (selection.empty()) {
        MessageBox::warning(this, TranslateText("Please select the devices!"));
        return;
    }
    ap_info_stu first;
    context_.store.GetDevice(selection.front().Mac(), first);
    const DeviceInfo info = first.device_info();
    const auto stored = info.ip_settings_block();
    std::copy(stored.begin(), stored.end(), currentIpBlock_.begin());
    CIpsetMutilDlg dialog(
        context_.engine, context_.store, context_.settings, context_.skin, currentIpBlock_, selection,
        [this](BatchPlan plan) { StartBatch("Set IP", std::move(plan)); }, this);
    dialog.exec();
}

void CStatusDlg::OnSetBridge() {
    ClearBatchSummary();
    if (!MayStartBatch()) {
        return;
    }
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(true);
    if (selection.empty()) {
        MessageBox::warning(this, TranslateText("Please select configurable devices!"));
        return;
    }
    ap_info_stu first;
    context_.store.GetDevice(selection.front().Mac(), first);
    CBridgeSetMultiDlg dialog(
        context_.settings, context_.skin, first.device_info().bridge_transparent(),
        [this, selection](bool on) { StartBatch("Set Bridge", PlanTransparentBridge(selection, on)); }, this);
    dialog.exec();
}

bool CStatusDlg::MayStartBatch() {
    if (!batchWorker_.Running()) {
        return true;
    }
    MessageBox::warning(this, TranslateText("Please wait until the devices have answered the last request!"));
    return false;
}

void CStatusDlg::StartBatch(const char* operationKey, BatchPlan plan) {
    batchWorker_.Start([this, key = std::string(operationKey), plan = std::move(plan)](std::stop_token stop) {
        BatchResult result = RunBatch(context_.engine, context_.store, plan, stop);
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [this, key, result = std::move(result)] { OnBatchFinished(key, result); },
                Qt::QueuedConnection);
        }
    });
}

void CStatusDlg::OnBatchFinished(const std::string& operationKey, const BatchResult& result) {
    summary_->setText(ToQString(BatchSummaryText(operationKey.c_str(), result)));
    summary_->setToolTip(ToQString(BatchDetailText(result)));
    reloadTimer_.start();
}

void CStatusDlg::ClearBatchSummary() {
    summary_->clear();
    summary_->setToolTip(QString());
}

} // namespace rf
