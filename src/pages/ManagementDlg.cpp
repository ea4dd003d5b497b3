#include "pages/ManagementDlg.h"

#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "pages/DeviceList.h"
#include "pages/ManagementConfigDlg.h"
#include "pages/PageParts.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"
#include "store/SqlManagement.h"
#include "ui/QtConvert.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr int kSeparatorY = 56;

// The tab a request comes from, as the summary names it.
const char* BlockKey(MessageType type) {
    switch (type) {
    case MessageType::SetName:
        return "Wireless_location";
    case MessageType::SetWireless:
        return "WirelessSet";
    case MessageType::SetRebootSchedule:
        return "TimeReboot";
    case MessageType::SetVlan:
        return "VLAN";
    default:
        return "IPSET";
    }
}

} // namespace

CManagementDlg::CManagementDlg(const PageContext& context, QWidget* parent)
    : CPage(kPageManagement, parent), context_(context) {
    setObjectName(QStringLiteral("ManagementDlg"));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ =
        new CDeviceList(context.engine, context.store, context.settings, context.skin, kPageManagement, this);
    summary_ = MakeBatchSummaryLine(context.settings, this);
    separator_ = MakeSeparatorLine(context.settings, this);
    TranslateWindow(this);

    connect(list_, &CDeviceList::deviceClicked, this, &CManagementDlg::OnDeviceClicked);
    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CManagementDlg::~CManagementDlg() {
    worker_.Stop();
}

CManagementConfigDlg* CManagementDlg::ConfigDialog() const {
    return config_;
}

void CManagementDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    summary_->setGeometry(10, 14, std::max(0, width() - 260), 30);
}

void CManagementDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CManagementDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CManagementDlg::OnDeviceClicked(int row, int column) {
    if (column == list_->Columns().ColumnOf(kFieldOperate)) {
        OpenConfiguration(row);
    }
}

void CManagementDlg::OpenConfiguration(int row) {
    const DeviceRow* shown = list_->Row(row);
    if (shown == nullptr || shown->announced) {
        return;
    }
    ap_info_stu record;
    if (!context_.store.GetDevice(shown->mac, record) || record.mac() != shown->mac) {
        return; // it aged out since the list was loaded
    }
    context_.navigation.SetAutoRefresh(false);
    CManagementConfigDlg dialog(context_.settings, context_.skin, context_.store, record, this);
    config_ = &dialog;
    const bool saved = dialog.exec() == QDialog::Accepted;
    config_ = nullptr;
    context_.navigation.SetAutoRefresh(true);
    if (saved && !dialog.Changes().Empty()) {
        summary_->clear();
        const SelectedDevice device =
            SelectedDevice::Make(IpBytesToText(record.device_info().ip()), record.mac(), record.ap_type());
        StartSend(PlanConfigure(device, record, dialog.Changes()));
        lastWait_ = WaitAfterConfigure(dialog.Changes());
        if (lastWait_) {
            RunWait(*lastWait_);
        }
    }
    reloadTimer_.start();
}

void CManagementDlg::StartSend(std::vector<BatchPlan> plans) {
    worker_.Start([this, plans = std::move(plans)](std::stop_token stop) {
        std::vector<BatchResult> results = RunBatches(context_.engine, context_.store, plans, stop);
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [this, plans, results = std::move(results)] { OnSendFinished(plans, results); },
                Qt::QueuedConnection);
        }
    });
}

void CManagementDlg::RunWait(const ConfigWait& wait) {
    CWaitDlg dialog(context_.engine, context_.skin, wait.seconds, wait.search, wait.searchPasses, this);
    wait_ = &dialog;
    dialog.exec();
    wait_ = nullptr;
}

void CManagementDlg::OnSendFinished(const std::vector<BatchPlan>& plans,
                                    const std::vector<BatchResult>& results) {
    std::string line;
    std::string details;
    for (size_t i = 0; i < plans.size() && i < results.size(); ++i) {
        line += (line.empty() ? "" : "; ") + BatchSummaryText(BlockKey(plans[i].type), results[i]);
        details += BatchDetailText(results[i]);
    }
    summary_->setText(ToQString(line));
    summary_->setToolTip(ToQString(details));
}

} // namespace rf
