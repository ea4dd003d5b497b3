#include "pages/BridgeDlg.h"

#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "pages/BridgeConfigDlg.h"
#include "pages/DeviceList.h"
#include "pages/PageParts.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"
#include "store/SqlManagement.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr int kSeparatorY = 56;
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
    : CPage(kPageBridge, parent), context_(context) {
    setObjectName(QStringLiteral("BridgeDlg"));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ = new CDeviceList(context.engine, context.store, context.settings, context.skin, kPageBridge, this);
    summary_ = MakeBatchSummaryLine(context.settings, this);
    separator_ = MakeSeparatorLine(context.settings, this);
    TranslateWindow(this);

    connect(list_, &CDeviceList::deviceClicked, this, &CBridgeDlg::OnDeviceClicked);
    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CBridgeDlg::~CBridgeDlg() {
    worker_.Stop();
}

CBridgeConfigDlg* CBridgeDlg::Wizard() const {
    return wizard_;
}

void CBridgeDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    summary_->setGeometry(10, 14, std::max(0, width() - 260), 30);
}

void CBridgeDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CBridgeDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CBridgeDlg::OnDeviceClicked(int row, int column) {
    if (column == list_->Columns().ColumnOf(kFieldOperate)) {
        OpenWizard(row);
    }
}

void CBridgeDlg::OpenWizard(int row) {
    const DeviceRow* shown = list_->Row(row);
    if (shown == nullptr || shown->announced) {
        return;
    }
    ap_info_stu record;
    if (!context_.store.GetDevice(shown->mac, record) || record.mac() != shown->mac) {
        return; // it aged out since the list was loaded
    }
    context_.navigation.SetAutoRefresh(false);
    if (!ModeSwitchAllowsBridge(record)) {
        MessageBox::warning(this, TranslateText(kModeSwitchMessage));
    } else {
        CBridgeConfigDlg wizard(context_.settings, context_.skin, context_.engine, context_.store, record,
                                this);
        wizard_ = &wizard;
        const bool saved = wizard.exec() == QDialog::Accepted;
        wizard_ = nullptr;
        if (saved) {
            StartSend(IpBytesToText(record.device_info().ip()), record.mac(), record.ap_type(),
                      wizard.BridgeSettings());
        }
    }
    context_.navigation.SetAutoRefresh(true);
    reloadTimer_.start();
}

void CBridgeDlg::StartSend(const std::string& ip, const std::string& mac, int model,
                           const DeviceInfo& settings) {
    summary_->clear();
    const BatchPlan plan = PlanBridge(SelectedDevice::Make(ip, mac, model), settings);
    worker_.Start([this, plan](std::stop_token stop) {
        BatchResult result = RunBatch(context_.engine, context_.store, plan, stop);
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [this, result = std::move(result)] { OnSendFinished(result); }, Qt::QueuedConnection);
        }
    });
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
    summary_->setText(answer == nullptr ? ToQString(line)
                                        : TranslateText(answer) + QStringLiteral(" - ") + ToQString(line));
    summary_->setToolTip(ToQString(BatchDetailText(result)));
}

} // namespace rf
