#include "pages/DeviceListPage.h"

#include "pages/DeviceList.h"
#include "pages/PageParts.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {
namespace {

constexpr int kSeparatorY = 56;
constexpr int kSummaryTop = 14;
constexpr int kSummaryHeight = 30;
// Room on the right of the summary line for the list's filter.
constexpr int kSummaryRightMargin = 250;

} // namespace

CDeviceListPage::CDeviceListPage(const PageContext& context, int pageId, const char* objectName,
                                 int reloadDelayMs, QWidget* parent)
    : CPage(pageId, parent), context_(context) {
    setObjectName(QString::fromLatin1(objectName));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    list_ = new CDeviceList(context.engine, context.store, context.settings, context.skin, pageId, this);

    connect(list_, &CDeviceList::deviceClicked, this,
            [this](int row, int column) { OnDeviceClicked(row, column); });
    connect(list_, &CDeviceList::viewChanged, this, &CPage::listViewChanged);
    connect(list_->Strip(), &CTMultiPages::pagePicked, this,
            [this](int picked, int page) { context_.navigation.ShowListPage(picked, page); });
    reloadTimer_.setInterval(reloadDelayMs);
    reloadTimer_.setSingleShot(true);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { list_->ReloadCurrentPage(); });
}

CDeviceListPage::~CDeviceListPage() {
    worker_.Stop();
}

void CDeviceListPage::FinishControls() {
    summary_ = MakeBatchSummaryLine(context_.settings, this);
    separator_ = MakeSeparatorLine(context_.settings, this);
    TranslateWindow(this);
}

void CDeviceListPage::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    list_->Layout(rect());
    separator_->setGeometry(10, kSeparatorY, width() - 20, 1);
    const int left = SummaryLeft();
    summary_->setGeometry(left, kSummaryTop, std::max(0, width() - left - kSummaryRightMargin),
                          kSummaryHeight);
}

void CDeviceListPage::RefreshList() {
    list_->ReloadCurrentPage();
}

void CDeviceListPage::ShowListPage(int page) {
    list_->Reload(page);
}

std::optional<ListView> CDeviceListPage::CurrentListView() const {
    return list_->View();
}

void CDeviceListPage::RestoreListView(const ListView& view) {
    list_->RestoreView(view);
}

void CDeviceListPage::OnDeviceClicked(int row, int column) {
    if (column == list_->Columns().ColumnOf(kFieldOperate)) {
        OnOperate(row);
    }
}

std::vector<SelectedDevice> CDeviceListPage::BeginBatch(const OperationEntry& operation) {
    ClearBatchSummary();
    if (!MayStartBatch()) {
        return {};
    }
    std::vector<SelectedDevice> selection = list_->CollectSelectedDevices(operation.takes);
    if (selection.empty()) {
        MessageBox::warning(this, TranslateText(operation.noDeviceKey));
    }
    return selection;
}

bool CDeviceListPage::MayStartBatch() {
    if (!worker_.Running()) {
        return true;
    }
    MessageBox::warning(this, TranslateText("Please wait until the devices have answered the last request!"));
    return false;
}

void CDeviceListPage::ShowBatchSummary(const std::string& line, const std::string& details) {
    summary_->setText(ToQString(line));
    summary_->setToolTip(ToQString(details));
}

void CDeviceListPage::ClearBatchSummary() {
    summary_->clear();
    summary_->setToolTip(QString());
}

bool CDeviceListPage::StoredDeviceOfRow(int row, ap_info_stu& record) const {
    const DeviceRow* shown = list_->Row(row);
    if (shown == nullptr || shown->announced) {
        return false;
    }
    return context_.store.GetDevice(shown->mac, record) && record.mac() == shown->mac;
}

} // namespace rf
