#include "pages/SystemToolDlg.h"

#include "operations/AdapterDevices.h"
#include "pages/ColumnFit.h"
#include "pages/PageParts.h"
#include "shell/PageIds.h"
#include "ui/GridCells.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"
#include "ui/TMultiPages.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QFontMetrics>
#include <QStyle>
#include <array>

namespace rf {
namespace {

struct ColumnSpec {
    const char* header;
    int width;
};

constexpr std::array<ColumnSpec, CSystemToolDlg::kColumnCount> kColumns{{
    {"ID", 60},
    {"Description", 400},
    {"MAC", 120},
    {"IP", 370},
    {"Devices", 80},
}};

constexpr int kLabelTop = 14;
constexpr int kGridTop = 50;
constexpr int kBottomBar = 48;
constexpr int kMinDescriptionWidth = 160;
constexpr int kCellPadding = 18;

} // namespace

CSystemToolDlg::CSystemToolDlg(const PageContext& context, QWidget* parent)
    : CPage(kPageSystemTool, parent), context_(context) {
    setObjectName(QStringLiteral("SystemToolDlg"));
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    BuildControls();
    BuildGrid();
    TranslateWindow(this);
    SetAdapterCount(0);
    OnRefreshTimer();
    refreshTimer_.setInterval(kRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &CSystemToolDlg::OnRefreshTimer);
    refreshTimer_.start();
}

void CSystemToolDlg::BuildControls() {
    countLabel_ = new CTStatic(this);
    countLabel_->setObjectName(QStringLiteral("adapterCount"));
    countLabel_->SetStaticLook(context_.settings);
    countLabel_->setProperty("rfNoTranslate", true);

    separator_ = MakeSeparatorLine(context_.settings, this);

    // The container forwards no page changes for this page: the strip is there for the look.
    strip_ = new CTMultiPages(this);
    strip_->setObjectName(QStringLiteral("pageStrip"));
    strip_->Init(kPageSystemTool);
    strip_->SetBackgroundColour(ToQColor(context_.settings.childBkColor));
}

void CSystemToolDlg::BuildGrid() {
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("adapterGrid"));
    ApplyGridSettings(context_.settings, *grid_);
    grid_->SetColumnCount(kColumnCount);
    grid_->SetRowCount(1);
    for (int column = 0; column < kColumnCount; ++column) {
        const ColumnSpec& definition = kColumns[static_cast<size_t>(column)];
        SetHeaderCell(context_.settings, *grid_, column, definition.width, TranslateText(definition.header));
    }
}

int CSystemToolDlg::NeededWidth(int column) const {
    const int own = kColumns[static_cast<size_t>(column)].width;
    const QFontMetrics header(grid_->GetCellFont(0, column));
    const QFontMetrics cells(ToQFont(context_.settings.gridFont));
    int needed = header.horizontalAdvance(grid_->GetCellText(0, column)) + kCellPadding;
    if (column == kColumnMac) {
        needed =
            std::max(needed, cells.horizontalAdvance(QStringLiteral("dd:dd:dd:dd:dd:dd")) + kCellPadding);
    }
    if (column == kColumnIp) {
        needed = std::max(needed, cells.horizontalAdvance(QStringLiteral("255.255.255.255")) + kCellPadding);
        for (int row = 1; row < grid_->GetRowCount(); ++row) {
            needed =
                std::max(needed, cells.horizontalAdvance(grid_->GetCellText(row, column)) + kCellPadding);
        }
        return needed;
    }
    return column == kColumnDescription ? own : std::max(own, needed);
}

void CSystemToolDlg::FitColumns() {
    std::vector<int> widths;
    widths.reserve(kColumnCount);
    for (int column = 0; column < kColumnCount; ++column) {
        widths.push_back(NeededWidth(column));
    }
    const int frame = 2 * grid_->frameWidth();
    const int bar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
    const std::vector<bool> grows{false, true, false, true, false};
    const std::vector<int> fitted = FitColumnWidths(widths, grows, kColumnDescription, kMinDescriptionWidth,
                                                    grid_->width() - frame - bar);
    for (int column = 0; column < kColumnCount; ++column) {
        grid_->SetColumnWidth(column, fitted[static_cast<size_t>(column)]);
    }
}

void CSystemToolDlg::OnRefreshTimer() {
    const std::vector<AdapterDevices> adapters = ListAdapterDevices(context_.engine);
    grid_->DeleteDataRows();
    grid_->SetRowCount(static_cast<int>(adapters.size()) + 1);
    int row = 0;
    for (const AdapterDevices& listed : adapters) {
        ++row;
        const std::array<QString, kColumnCount> texts{
            QString::number(row), ToQString(AdapterDescriptionText(listed.adapter)),
            ToQString(AdapterMacText(listed.adapter)), ToQString(AdapterIpsText(listed.adapter)),
            QString::number(listed.devices)};
        for (int column = 0; column < kColumnCount; ++column) {
            SetNormalCell(context_.settings, *grid_, row, column, texts[static_cast<size_t>(column)]);
        }
    }
    SetAdapterCount(row);
    FitColumns();
}

void CSystemToolDlg::SetAdapterCount(int count) {
    countLabel_->setText(
        TranslateText("Adapter count:%d").replace(QStringLiteral("%d"), QString::number(count)));
    countLabel_->repaint();
}

void CSystemToolDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    countLabel_->setGeometry(10, kLabelTop, 300, 28);
    const int gridBottom = height() - kBottomBar;
    grid_->setGeometry(10, kGridTop, width() - 20, std::max(0, gridBottom - kGridTop));
    separator_->setGeometry(10, gridBottom + 4, width() - 20, 1);
    strip_->setGeometry(10, gridBottom + 10, width() - 20, 32);
    FitColumns();
}

} // namespace rf
