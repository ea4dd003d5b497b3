#include "pages/StatusDlg.h"

#include "bridge/BridgeSetMultiDlg.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/DeviceWorkers.h"
#include "pages/IpsetMutilDlg.h"
#include "protocol/NetManagement.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "store/SqlManagement.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TMultiPages.h"
#include "ui/TPicture.h"
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
    connect(list_, &CDeviceList::reloading, this, &CStatusDlg::CancelRename);
    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int pageId, int page) { context_.navigation.ShowListPage(pageId, page); });
    searchTimer_.setInterval(kSearchTickMs);
    connect(&searchTimer_, &QTimer::timeout, this, &CStatusDlg::OnSearchTick);
    reloadTimer_.setInterval(kReloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CStatusDlg::~CStatusDlg() {
    renameWorker_.Stop();
    ipWorker_.Stop();
    bridgeWorker_.Stop();
}

void CStatusDlg::FinishWorkers() {
    renameWorker_.Wait();
    ipWorker_.Wait();
    bridgeWorker_.Wait();
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

    separator_ = new QWidget(this);
    separator_->setObjectName(QStringLiteral("separator"));
    separator_->setAutoFillBackground(true);
    QPalette palette = separator_->palette();
    palette.setColor(QPalette::Window, ToQColor(context_.settings.lineColor));
    separator_->setPalette(palette);
}

void CStatusDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
}

void CStatusDlg::RefreshList() {
    list_->ReloadCurrentPage();
}

void CStatusDlg::ShowListPage(int page) {
    list_->Reload(page);
}

void CStatusDlg::OnSearchClicked() {
    if (cycle_.Running()) {
        EndSearch();
    } else {
        StartSearch();
    }
}

// A fresh search forgets devices that never sent their details and stored devices that no longer answer.
void CStatusDlg::StartSearch() {
    cycle_.Begin();
    CNetManagement& engine = context_.engine;
    engine.SendLeaveToAnnounced();
    engine.ForgetAnnounced();
    engine.PurgeUnseenDevices();
    engine.SearchDevices();
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
    if (column == kColumnOperate) {
        if (!list_->IsAnnouncedRow(row)) {
            const QString ip = list_->Grid()->GetCellText(row, kColumnIp);
            OpenInBrowser(this, QUrl(QStringLiteral("http://%1/").arg(ip)));
        }
    } else if (column == kColumnLocation) {
        BeginRename(row);
    }
}

void CStatusDlg::OnSetIp() {
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
        context_.engine, context_.settings, context_.skin, currentIpBlock_, selection,
        [this, selection](const IpBatch& batch) { StartIpWorker(batch, selection); }, this);
    dialog.exec();
}

void CStatusDlg::OnSetBridge() {
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(true);
    if (selection.empty()) {
        MessageBox::warning(this, TranslateText("Please select configurable devices!"));
        return;
    }
    ap_info_stu first;
    context_.store.GetDevice(selection.front().Mac(), first);
    CBridgeSetMultiDlg dialog(
        context_.settings, context_.skin, first.device_info().bridge_transparent(),
        [this, selection](bool on) { StartBridgeWorker(on, selection); }, this);
    dialog.exec();
}

void CStatusDlg::StartIpWorker(const IpBatch& batch, std::vector<SelectedDevice> devices) {
    ipWorker_.Start([&engine = context_.engine, batch, devices = std::move(devices)](std::stop_token stop) {
        RunIpAssign(stop, engine, batch, devices);
    });
}

void CStatusDlg::StartBridgeWorker(bool on, std::vector<SelectedDevice> devices) {
    bridgeWorker_.Start(
        [this, &engine = context_.engine, on, devices = std::move(devices)](std::stop_token stop) {
            RunBridgeSwitch(stop, engine, on, devices);
            if (!stop.stop_requested()) {
                ReloadSoon();
            }
        });
}

void CStatusDlg::ReloadSoon() {
    QMetaObject::invokeMethod(
        this, [this] { reloadTimer_.start(); }, Qt::QueuedConnection);
}

} // namespace rf
