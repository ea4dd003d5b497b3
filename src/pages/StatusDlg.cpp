#include "pages/StatusDlg.h"

#include "bridge/BridgeSetMultiDlg.h"
#include "operations/BatchRunner.h"
#include "operations/FreshSearch.h"
#include "operations/OperationCatalogue.h"
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
#include "ui/TPicture.h"

#include <QUrl>

namespace rf {

CStatusDlg::CStatusDlg(const PageContext& context, QWidget* parent)
    : CDeviceListPage(context, kPageStatus, "StatusDlg", kReloadDelayMs, parent) {
    BuildButtons();
    FinishControls();

    connect(&List(), &CDeviceList::reloaded, this, &CStatusDlg::PlaceRenameEditor);
    searchTimer_.setInterval(SearchCycle::kTickMs);
    connect(&searchTimer_, &QTimer::timeout, this, &CStatusDlg::OnSearchTick);
}

void CStatusDlg::BuildButtons() {
    const QString image = ToQString(Context().skin.btnSearch);
    int x = 10;
    for (auto [button, name, caption] :
         {std::tuple{&search_, "searchButton", "Search"}, std::tuple{&setIp_, "setIpButton", "Set IP"},
          std::tuple{&setBridge_, "setBridgeButton", "Set Bridge"}}) {
        *button = new CTButtonPicture(this);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->SetImage(image);
        (*button)->SetPageButtonLook(Context().settings);
        (*button)->SetText(QString::fromUtf8(caption));
        (*button)->setGeometry(x, 14, kButtonWidth, kButtonHeight);
        x += kButtonWidth + 12;
    }
    connect(search_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSearchClicked);
    connect(setIp_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSetIp);
    connect(setBridge_, &CTButtonPicture::clicked, this, &CStatusDlg::OnSetBridge);

    animation_ = new CTPicture(this);
    animation_->setObjectName(QStringLiteral("searchAnimation"));
    animation_->Load(ToQString(Context().skin.waitSearch));
    animation_->SetBackgroundColour(ToQColor(Context().settings.childBkColor));
    animation_->setGeometry(x + 4, 13, 32, 32);
    animation_->hide();
}

int CStatusDlg::SummaryLeft() const {
    return animation_->geometry().right() + 8;
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
    StartFreshSearch(Context().engine);
    cycle_.Begin(HeardSoFar(Context().engine));
    List().ClearFilter();
    List().Reload(1);
    SetSearchControls(true);
    searchTimer_.start();
}

void CStatusDlg::EndSearch() {
    cycle_.End();
    searchTimer_.stop();
    SetSearchControls(false);
    List().ReloadCurrentPage();
}

void CStatusDlg::OnSearchTick() {
    const SearchCycle::Step step = cycle_.Tick(HeardSoFar(Context().engine));
    if (step.finished) {
        EndSearch();
        return;
    }
    if (step.search) {
        Context().engine.SearchDevices();
    }
    if (step.reload) {
        List().Reload(1);
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
    List().SetInteractive(!searching);
    Context().navigation.SetMenuEnabled(!searching);
    Context().navigation.SetAutoRefresh(!searching);
}

void CStatusDlg::OnDeviceClicked(int row, int column) {
    const DeviceField field = List().Columns().FieldAt(column);
    if (field == kFieldOperate) {
        OpenWebPage(row);
    } else if (field == kFieldLocation) {
        BeginRename(row);
    }
}

void CStatusDlg::OnRefreshKey() {
    if (!cycle_.Running()) {
        OnSearchClicked();
    }
}

std::vector<RowAction> CStatusDlg::RowActions(int /*row*/) {
    if (cycle_.Running()) {
        return {};
    }
    return {{kRenameEntry.titleKey, "menuRename", [this](int row) { BeginRename(row); }},
            {kSetIpEntry.titleKey, "menuSetIp", [this](int row) { RunForRow(row, [this] { OnSetIp(); }); }},
            {kTransparentBridgeEntry.titleKey, "menuSetBridge",
             [this](int row) { RunForRow(row, [this] { OnSetBridge(); }); }}};
}

void CStatusDlg::OnSetIp() {
    std::vector<SelectedDevice> selection = BeginBatch(kSetIpRangeEntry);
    if (selection.empty()) {
        return;
    }
    ap_info_stu first;
    Context().store.GetDevice(selection.front().Mac(), first);
    const DeviceInfo info = first.device_info();
    const auto stored = info.ip_settings_block();
    std::copy(stored.begin(), stored.end(), currentIpBlock_.begin());
    CIpsetMutilDlg dialog(
        Context().engine, Context().store, Context().settings, Context().skin, currentIpBlock_, selection,
        [this](BatchPlan plan) { StartBatch(kSetIpRangeEntry.titleKey, plan); }, this);
    dialog.exec();
}

void CStatusDlg::OnSetBridge() {
    std::vector<SelectedDevice> selection = BeginBatch(kTransparentBridgeEntry);
    if (selection.empty()) {
        return;
    }
    ap_info_stu first;
    Context().store.GetDevice(selection.front().Mac(), first);
    const auto onSave = [this, selection](bool on) {
        CheckResult check = CheckTransparentBridge(Context().store, selection, on);
        if (!check.Accepted()) {
            MessageBox::warning(this, TranslateText(check.refusal->messageKey));
            return;
        }
        StartBatch(kTransparentBridgeEntry.titleKey, check.plan);
    };
    CBridgeSetMultiDlg dialog(Context().settings, Context().skin, first.device_info().bridge_transparent(),
                              onSave, this);
    dialog.exec();
}

void CStatusDlg::StartBatch(const char* operationKey, const BatchPlan& plan) {
    RunBatchWork(
        [this, plan](const std::stop_token& stop) {
            return RunBatch(Context().engine, Context().store, plan, stop);
        },
        [this, key = std::string(operationKey), plan](const BatchResult& result) {
            OnBatchFinished(key, plan, result);
        });
}

void CStatusDlg::OnBatchFinished(const std::string& operationKey, const BatchPlan& plan,
                                 const BatchResult& result) {
    ShowBatchSummary(BatchSummaryText(operationKey.c_str(), result), BatchDetailText(plan, result));
    ReloadTimer().start();
}

} // namespace rf
