#include "pages/DeviceListPage.h"

#include "pages/DeviceList.h"
#include "pages/DeviceListExport.h"
#include "pages/PageParts.h"
#include "protocol/CodeTables.h"
#include "shell/DesktopLinks.h"
#include "store/SqlManagement.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>

namespace rf {
namespace {

constexpr int kSeparatorY = 56;
constexpr int kSummaryTop = 14;
constexpr int kSummaryHeight = 30;
// The list's filter field and its margins on the right of the export button.
constexpr int kFilterRoom = 240;
// Room on the right of the summary line for the export button and the list's filter.
constexpr int kSummaryRightMargin = kFilterRoom + kButtonWidth + 12;

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

    export_ = new CTButtonPicture(this);
    export_->setObjectName(QStringLiteral("exportButton"));
    export_->SetImage(ToQString(context.skin.btnSearch));
    export_->SetPageButtonLook(context.settings);
    export_->SetText(QStringLiteral("Export..."));
    export_->setToolTip(TranslateText("Write the devices that match the filter, from every page, to a file"));
    connect(export_, &CTButtonPicture::clicked, this, &CDeviceListPage::OnExport);
    connect(list_, &CDeviceList::rowMenuRequested, this, &CDeviceListPage::ShowRowMenu);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &CDeviceListPage::FocusFilter);
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
    export_->setGeometry(width() - kFilterRoom - kButtonWidth, kSummaryTop, kButtonWidth, kButtonHeight);
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

void CDeviceListPage::OnExport() {
    const QString csv = TranslateText("CSV files") + QStringLiteral(" (*.csv)");
    const QString json = TranslateText("JSON files") + QStringLiteral(" (*.json)");
    QString chosen = csv;
    const QString name =
        FileDialog::getSaveFileName(this, TranslateText("Export devices"), QStringLiteral("devices.csv"),
                                    csv + QStringLiteral(";;") + json, &chosen);
    if (name.isEmpty()) {
        return;
    }
    const ExportFormat format =
        ExportFormatOf(ToStdString(name), chosen == json ? ExportFormat::Json : ExportFormat::Csv);
    const std::string file = ExportFileName(ToStdString(name), format);
    const std::vector<DeviceRow> rows = list_->AllRows();
    std::string error;
    if (!WriteExportFile(file, ExportDocument(list_->Columns(), rows, format), error)) {
        MessageBox::warning(
            this,
            TranslateText("The devices cannot be written to %1: %2").arg(ToQString(file), ToQString(error)));
        return;
    }
    ShowBatchSummary(
        ToStdString(
            TranslateText("%1 devices written to %2").arg(QString::number(rows.size()), ToQString(file))),
        std::string());
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

void CDeviceListPage::FocusFilter() {
    CTEdit* filter = list_->Filter();
    if (filter->isEnabled()) {
        filter->setFocus(Qt::ShortcutFocusReason);
        filter->selectAll();
    }
}

void CDeviceListPage::OpenWebPage(int row) {
    const DeviceRow* record = list_->Row(row);
    if (record != nullptr && !record->announced) {
        OpenInBrowser(this, QUrl(QStringLiteral("http://%1/").arg(ToQString(record->ip))));
    }
}

void CDeviceListPage::RunForRow(int row, const std::function<void()>& action) {
    const DeviceRow* record = list_->Row(row);
    if (record == nullptr) {
        return;
    }
    list_->ScopeCollection(record->mac);
    action();
    list_->EndScope();
}

QMenu* CDeviceListPage::ShowRowMenu(int row, const QPoint& globalPos) {
    const DeviceRow* record = list_->Row(row);
    if (record == nullptr) {
        return nullptr;
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("deviceRowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The list may reload while the menu is open: the device is found again by its MAC.
    const auto add = [this, menu, mac = record->mac](const char* key, const char* name,
                                                     const std::function<void(int)>& run) {
        QAction* action = menu->addAction(TranslateText(key), this, [this, mac, run] {
            if (const int now = list_->RowOfDevice(mac); now >= 1) {
                run(now);
            }
        });
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    const QString mac = ToQString(record->mac);
    const QString ip = ToQString(record->ip);
    add("Copy MAC", "menuCopyMac", [mac](int) { QGuiApplication::clipboard()->setText(mac); });
    add("Copy IP", "menuCopyIp", [ip](int) { QGuiApplication::clipboard()->setText(ip); });
    add("Copy selected rows", "menuCopyRows", [this](int now) { list_->CopySelectedRows(now); });
    add("Open web page", "menuOpenWeb", [this](int now) {
        OpenWebPage(now);
    })->setEnabled(!record->announced);
    const std::vector<RowAction> actions = RowActions(row);
    if (!actions.empty()) {
        menu->addSeparator();
    }
    for (const RowAction& action : actions) {
        add(action.textKey, action.name, action.run);
    }
    menu->popup(globalPos);
    return menu;
}

} // namespace rf
