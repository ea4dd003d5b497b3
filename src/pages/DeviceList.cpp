#include "pages/DeviceList.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "operations/OperationCatalogue.h"
#include "pages/DeviceListRows.h"
#include "pages/DeviceRows.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "shell/PageIds.h"
#include "store/SqlManagement.h"
#include "ui/GridCells.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

namespace rf {
namespace {

constexpr int kPageSizes[] = {15, 30, 50, 100};
constexpr int kDefaultPageSizeItem = 1;
constexpr int kBottomBar = 44;
constexpr int kTopBar = 56;
constexpr int kWarningHeight = 24;
constexpr int kBoldWeight = 700;
constexpr const char* kStoreWarning = "Devices cannot be stored: %1";
constexpr const char* kStoreFaultMessage =
    "Devices cannot be stored: %1. Devices found while this lasts are not listed.";

// The status cell: a device that is not offline stands out in the online colour, one in address conflict
// in the offline colour.
void FillStatusCell(const Settings& settings, CGridCtrl& grid, int row, int column, int32_t status,
                    bool online) {
    const bool conflict = status == ToCode(DeviceStatus::AddressConflict);
    const auto fill = conflict ? SetOfflineCell : online ? SetOnlineCell : SetNormalCell;
    fill(settings, grid, row, column, ToQString(StatusText(status)), kFormatCentred);
}

// The texts a column must show whole.
std::vector<QString> WidestTexts(DeviceField field) {
    switch (field) {
    case kFieldIp:
        return {QStringLiteral("255.255.255.255")};
    case kFieldMac:
        return {QStringLiteral("dd:dd:dd:dd:dd:dd")};
    case kFieldType: {
        std::vector<QString> models;
        for (const std::string& model : ModelTexts()) {
            models.push_back(ToQString(model));
        }
        return models;
    }
    default:
        return {};
    }
}

void FillRow(const Settings& settings, CGridCtrl& grid, int row, const DeviceRow& record,
             const DeviceListLayout& layout) {
    const auto fill = record.announced ? SetOfflineCell : SetNormalCell;
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        const int column = static_cast<int>(i);
        const DeviceField field = layout.columns[i].field;
        if (field == kFieldStatus) {
            FillStatusCell(settings, grid, row, column, record.status,
                           record.status != ToCode(DeviceStatus::Outline));
        } else {
            fill(settings, grid, row, column, ToQString(record.texts[field]), kFormatCentred);
        }
        if (field == kFieldTick) {
            grid.SetCellCheckBox(row, column);
        }
        if (!record.tip.empty()) {
            grid.SetCellTip(row, column, ToQString(record.tip));
        }
        if (field == kFieldSerial) {
            grid.SetCellData(row, column, record.status); // the status code, as the grid keeps it
        }
        if (field == kFieldOperate && layout.operateImage != nullptr && !record.announced) {
            grid.SetCellImage(row, column, 0);
        }
    }
}

} // namespace

CDeviceList::CDeviceList(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                         const SkinPaths& skin, int pageId, QWidget* page)
    : QObject(page), engine_(engine), store_(store), settings_(settings), page_(page),
      layout_(DeviceListLayoutOf(pageId)), sortColumn_(layout_.ColumnOf(kFieldIp)) {
    BuildGrid();
    BuildControls(skin, pageId);
    if (layout_.operateImage != nullptr) {
        grid_->SetImageList({CGridCtrl::LoadMaskedImage(ToQString(skin.*layout_.operateImage))});
    }
    SetOnlineCount(0);
}

void CDeviceList::BuildGrid() {
    const QScopedValueRollback sizing(settingWidths_, true);
    grid_ = new CGridCtrl(page_);
    grid_->setObjectName(QStringLiteral("deviceGrid"));
    ApplyGridSettings(settings_, *grid_);
    const int columnCount = static_cast<int>(layout_.columns.size());
    grid_->SetColumnCount(columnCount);
    grid_->SetRowCount(1);
    for (int column = 0; column < columnCount; ++column) {
        const ListColumn& definition = layout_.columns[static_cast<size_t>(column)];
        const QString header = TranslateText(definition.header);
        SetHeaderCell(settings_, *grid_, column, definition.width, header);
        // A translated header may be longer than its column: the column widens so that it can be read.
        int needed = QFontMetrics(grid_->GetCellFont(0, column)).horizontalAdvance(header) + 18;
        // Addresses and model names are never cut (models differ only at their ends: "Horsk", "HorskV2.0"):
        // these columns take the widest text they can hold in the cell font.
        for (const QString& widest : WidestTexts(definition.field)) {
            needed =
                std::max(needed, QFontMetrics(ToQFont(settings_.gridFont)).horizontalAdvance(widest) + 12);
        }
        columnWidths_.push_back(std::max(definition.width, needed));
        grid_->SetColumnWidth(column, columnWidths_.back());
        if (definition.field == kFieldTick) {
            grid_->SetCellCheckBox(0, column);
        }
        if (definition.clickable) {
            grid_->AddHandColumn(column);
        }
    }
    connect(grid_, &CGridCtrl::cellClicked, this, &CDeviceList::OnCellClicked);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { OnColumnResized(column, width); });
    connect(grid_, &CGridCtrl::tickAllRequested, this, &CDeviceList::TickAll);
    connect(grid_, &CGridCtrl::copyRequested, this, [this] { CopySelectedRows(grid_->CurrentRow()); });
    connect(grid_, &CGridCtrl::rowMenuRequested, this, [this](int row, const QPoint& at) {
        if (Row(row) != nullptr) {
            Q_EMIT rowMenuRequested(row, at);
        }
    });
}

void CDeviceList::BuildControls(const SkinPaths& skin, int pageId) {
    filterEdit_ = new CTEdit(page_);
    filterEdit_->setObjectName(QStringLiteral("deviceFilter"));
    filterEdit_->setPlaceholderText(TranslateText("Filter"));
    filterEdit_->setClearButtonEnabled(true);
    connect(filterEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        filter_ = ToStdString(text);
        Reload(1);
    });

    pageSizeLabel_ = new CTStatic(page_);
    pageSizeLabel_->setObjectName(QStringLiteral("pageSizeLabel"));
    pageSizeLabel_->SetStaticLook(settings_);
    pageSizeLabel_->setText(TranslateText("Each page number"));
    pageSize_ = new QComboBox(page_);
    pageSize_->setObjectName(QStringLiteral("pageSize"));
    pageSize_->setProperty("rfNoTranslate", true);
    for (const int size : kPageSizes) {
        pageSize_->addItem(QString::number(size), size);
    }
    pageSize_->setCurrentIndex(kDefaultPageSizeItem);
    connect(pageSize_, &QComboBox::currentIndexChanged, this, [this] {
        Reload(1);
        Q_EMIT viewChanged();
    });

    strip_ = new CTMultiPages(page_);
    strip_->setObjectName(QStringLiteral("pageStrip"));
    strip_->Init(pageId);
    strip_->SetBackgroundColour(ToQColor(settings_.childBkColor));

    onlineLabel_ = new CTStatic(page_);
    onlineLabel_->setObjectName(QStringLiteral("onlineCount"));
    onlineLabel_->SetStaticLook(settings_);
    onlineLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    onlineLabel_->setProperty("rfNoTranslate", true);

    reload_ = new CTButtonPicture(page_);
    reload_->setObjectName(QStringLiteral("reloadPage"));
    reload_->SetImages(ToQString(skin.btnUpdateNormal), ToQString(skin.btnUpdateDown),
                       ToQString(skin.btnUpdateDown), ToQString(skin.btnUpdateNormal));
    reload_->setToolTip(TranslateText("Refresh"));
    connect(reload_, &CTButtonPicture::clicked, this, [this] { ReloadCurrentPage(); });

    storeWarning_ = new CTStatic(page_);
    storeWarning_->setObjectName(QStringLiteral("storeWarning"));
    storeWarning_->SetStaticLook(settings_);
    storeWarning_->SetFont(ToQString(settings_.fontName), kBoldWeight, settings_.staticFontHeight,
                           QColor(Qt::red), ToQColor(settings_.staticFontBkColor));
    storeWarning_->setProperty("rfNoTranslate", true);
    storeWarning_->hide();
}

void CDeviceList::Layout(const QRect& area) {
    area_ = area;
    const int right = area.right() - 10;
    filterEdit_->setGeometry(right - 220, area.top() + 14, 220, 28);
    int gridTop = area.top() + kTopBar + 6;
    if (!storeWarning_->isHidden()) {
        storeWarning_->setGeometry(area.left() + 10, gridTop, area.width() - 20, kWarningHeight);
        gridTop += kWarningHeight + 4;
    }
    grid_->setGeometry(area.left() + 10, gridTop, area.width() - 20, area.bottom() - kBottomBar - gridTop);
    const int barY = area.bottom() - kBottomBar + 8;
    pageSizeLabel_->setGeometry(area.left() + 10, barY, 130, 28);
    pageSize_->setGeometry(area.left() + 142, barY, 64, 28);
    reload_->setGeometry(area.left() + 214, barY + 2, 24, 24);
    strip_->setGeometry(area.left() + 246, barY - 2, area.width() - 246 - 220, 32);
    onlineLabel_->setGeometry(right - 200, barY, 200, 28);
    SpreadColumns();
}

void CDeviceList::SpreadColumns() {
    std::vector<bool> grows(columnWidths_.size());
    for (size_t column = 0; column < grows.size(); ++column) {
        grows[column] = !layout_.IsFixedWidth(static_cast<int>(column)) &&
                        !userWidths_.contains(static_cast<int>(column));
    }
    const QScopedValueRollback sizing(settingWidths_, true);
    // Room for a vertical scroll bar is kept, so that one appearing later does not push the last column out.
    const int frame = 2 * grid_->frameWidth();
    const int bar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
    const std::vector<int> widths = SpreadColumnWidths(columnWidths_, grows, grid_->width() - frame - bar);
    for (size_t column = 0; column < widths.size(); ++column) {
        grid_->SetColumnWidth(static_cast<int>(column), widths[column]);
    }
}

int CDeviceList::PageSize() const {
    const int size = pageSize_->currentData().toInt();
    return size > 0 ? size : kPageSizes[kDefaultPageSizeItem];
}

void CDeviceList::Reload(int page) {
    ReloadDeviceList(page, ascending_, sortColumn_, filter_);
}

DeviceListQuery CDeviceList::Query(int sortColumn, bool ascending, const std::string& filter) const {
    return {layout_.SortKeyOf(sortColumn).value_or(SortKey::IpAddress), filter, ascending, PageSize()};
}

std::vector<DeviceRow> CDeviceList::AllRows() const {
    return LoadAllDeviceListRows(store_, engine_, layout_, Query(sortColumn_, ascending_, filter_));
}

void CDeviceList::ReloadDeviceList(int page, bool ascending, int sortColumn, const std::string& filter) {
    Q_EMIT reloading();
    const DeviceListQuery query = Query(sortColumn, ascending, filter);
    DeviceListPageRows loaded = LoadDeviceListPage(store_, engine_, layout_, query, page);
    page = loaded.page;
    const int pageCount = loaded.pageCount;
    sortColumn_ = sortColumn;
    currentPage_ = page;
    rows_ = std::move(loaded.rows);
    grid_->DeleteDataRows();
    grid_->SetRowCount(static_cast<int>(rows_.size()) + 1);
    for (size_t i = 0; i < rows_.size(); ++i) {
        FillRow(settings_, *grid_, static_cast<int>(i) + 1, rows_[i], layout_);
    }
    if (const int tick = ColumnOf(kFieldTick); tick >= 0) {
        grid_->SetChecked(0, tick, false);
    }
    allTicked_ = 0;
    grid_->SetSortColumn(sortColumn, ascending);
    grid_->ResetScrollBars();
    strip_->SetPageCount(pageCount);
    strip_->SetCurrentPage(pageCount < page ? 1 : page);
    SetOnlineCount(loaded.onlineCount);
    ShowStoreFault();
    Q_EMIT reloaded();
}

void CDeviceList::ShowStoreFault() {
    const std::optional<StoreWriteFault> fault = store_.WriteFault();
    const bool shown = !storeWarning_->isHidden();
    if (fault) {
        const QString reason = ToQString(StoreFaultReason(*fault));
        storeWarning_->setText(TranslateText(kStoreWarning).replace(QStringLiteral("%1"), reason));
        if (store_.ClaimWriteFaultNotice()) {
            // Not from inside the reload: a modal box would run the page's timers, and reloads, meanwhile.
            QMetaObject::invokeMethod(
                this,
                [this, reason] {
                    MessageBox::warning(
                        page_, TranslateText(kStoreFaultMessage).replace(QStringLiteral("%1"), reason));
                },
                Qt::QueuedConnection);
        }
    }
    storeWarning_->setVisible(fault.has_value());
    if (shown != fault.has_value() && area_.isValid()) {
        Layout(area_);
    }
}

void CDeviceList::SetOnlineCount(int count) {
    onlineCount_ = count;
    onlineLabel_->setText(
        TranslateText("Online device count:%d").replace(QStringLiteral("%d"), QString::number(count)));
    onlineLabel_->repaint();
}

void CDeviceList::OnCellClicked(int row, int column) {
    if (row == 0) {
        OnHeaderClicked(column);
    } else {
        Q_EMIT deviceClicked(row, column);
    }
}

void CDeviceList::OnHeaderClicked(int column) {
    if (layout_.FieldAt(column) == kFieldTick) {
        SetAllTicked(allTicked_ == 0);
        return;
    }
    if (!layout_.SortKeyOf(column)) {
        return;
    }
    ascending_ = !ascending_;
    ReloadDeviceList(1, ascending_, column, filter_);
    Q_EMIT viewChanged();
}

void CDeviceList::OnColumnResized(int column, int width) {
    if (settingWidths_ || column < 0 || static_cast<size_t>(column) >= columnWidths_.size()) {
        return;
    }
    userWidths_[column] = width;
    columnWidths_[static_cast<size_t>(column)] = width;
    Q_EMIT viewChanged();
}

ListView CDeviceList::View() const {
    return {PageSize(), sortColumn_, ascending_, userWidths_};
}

void CDeviceList::RestoreView(const ListView& view) {
    ListLimits limits{{std::begin(kPageSizes), std::end(kPageSizes)}, {}};
    for (int column = 0; column < static_cast<int>(layout_.columns.size()); ++column) {
        limits.sortable.push_back(layout_.SortKeyOf(column).has_value());
    }
    const ListView usable = CheckListView(view, limits);
    if (usable.pageSize) {
        const QSignalBlocker quiet(pageSize_);
        pageSize_->setCurrentIndex(pageSize_->findData(*usable.pageSize));
    }
    if (usable.sortColumn) {
        sortColumn_ = *usable.sortColumn;
        ascending_ = usable.ascending.value_or(ascending_);
    }
    userWidths_ = usable.columnWidths;
    const QScopedValueRollback sizing(settingWidths_, true);
    for (const auto& [column, width] : userWidths_) {
        columnWidths_[static_cast<size_t>(column)] = width;
        grid_->SetColumnWidth(column, width);
    }
    if (area_.isValid()) {
        SpreadColumns();
    }
}

const DeviceRow* CDeviceList::Row(int gridRow) const {
    const auto index = static_cast<size_t>(gridRow - 1);
    return gridRow >= 1 && index < rows_.size() ? &rows_[index] : nullptr;
}

int CDeviceList::RowOfDevice(const std::string& mac) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].mac == mac) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

bool CDeviceList::ShowStatus(const std::string& mac, int32_t statusCode) {
    const int row = RowOfDevice(mac);
    const int column = StatusColumn();
    if (row < 0 || column < 0) {
        return false;
    }
    DeviceRow& record = rows_[static_cast<size_t>(row - 1)];
    record.status = statusCode;
    record.texts[kFieldStatus] = StatusText(statusCode);
    FillStatusCell(settings_, *grid_, row, column, statusCode, true);
    grid_->update();
    return true;
}

void CDeviceList::SetAllTicked(bool ticked) {
    const int column = ColumnOf(kFieldTick);
    if (column < 0) {
        return;
    }
    allTicked_ = ticked ? 1 : 0;
    for (int row = 0; row < grid_->GetRowCount(); ++row) {
        grid_->SetChecked(row, column, ticked);
    }
}

void CDeviceList::TickAll() {
    SetAllTicked(true);
}

std::vector<int> CDeviceList::SelectedRows(int rowAtHand) const {
    std::vector<int> rows;
    const int tick = ColumnOf(kFieldTick);
    for (int row = 1; tick >= 0 && row < grid_->GetRowCount(); ++row) {
        if (grid_->IsChecked(row, tick)) {
            rows.push_back(row);
        }
    }
    if (rows.empty() && Row(rowAtHand) != nullptr) {
        rows.push_back(rowAtHand);
    }
    return rows;
}

QString CDeviceList::RowsText(const std::vector<int>& rows) const {
    std::vector<std::string> titles;
    for (const ListColumn& column : layout_.columns) {
        titles.push_back(ToStdString(TranslateText(column.header)));
    }
    std::vector<const DeviceRow*> records;
    for (const int row : rows) {
        if (const DeviceRow* record = Row(row); record != nullptr) {
            records.push_back(record);
        }
    }
    return ToQString(RowsAsText(layout_, titles, records));
}

void CDeviceList::CopySelectedRows(int rowAtHand) const {
    const std::vector<int> rows = SelectedRows(rowAtHand);
    if (!rows.empty()) {
        QGuiApplication::clipboard()->setText(RowsText(rows));
    }
}

bool CDeviceList::IsAnnouncedRow(int row) const {
    const DeviceRow* record = Row(row);
    return record == nullptr || record->announced;
}

std::vector<SelectedDevice> CDeviceList::CollectSelectedDevices(bool (*takes)(int model,
                                                                              int workMode)) const {
    std::vector<SelectedDevice> selection;
    if (scopeMac_) {
        const DeviceRow* record = Row(RowOfDevice(*scopeMac_));
        if (record != nullptr && (takes == nullptr || takes(record->model, record->workMode))) {
            selection.push_back(SelectedDevice::Make(record->ip, record->mac, record->model));
        }
        return selection;
    }
    const int tick = ColumnOf(kFieldTick);
    if (tick < 0) {
        return selection;
    }
    for (int row = 1; row < grid_->GetRowCount(); ++row) {
        if (!grid_->IsChecked(row, tick)) {
            continue;
        }
        const DeviceRow* record = Row(row);
        if (record == nullptr || (takes != nullptr && !takes(record->model, record->workMode))) {
            continue;
        }
        selection.push_back(SelectedDevice::Make(record->ip, record->mac, record->model));
    }
    return selection;
}

void CDeviceList::SetInteractive(bool on) {
    filterEdit_->setEnabled(on);
    grid_->setEnabled(on);
    pageSize_->setEnabled(on);
}

void CDeviceList::ClearFilter() {
    filter_.clear();
    filterEdit_->clear();
}

} // namespace rf
