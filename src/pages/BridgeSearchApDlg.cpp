#include "pages/BridgeSearchApDlg.h"

#include "core/Settings.h"
#include "operations/ApScan.h"
#include "operations/DeviceOutcome.h"
#include "operations/OperationCatalogue.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"
#include "ui/CellFormat.h"
#include "ui/GridCells.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <array>

namespace rf {
namespace {

struct ScanColumn {
    const char* header;
    int width;
    int sortCode; // of the scanned-AP query; -1: the column does not sort
};

constexpr std::array<ScanColumn, 6> kColumns{{{"Select", 64, -1},
                                              {"SingleName", 140, 1},
                                              {"Channel", 80, 2},
                                              {"MAC", 150, 0},
                                              {"Secure", 146, 3},
                                              {"SingleStrength", 84, 4}}};
constexpr int kTickColumn = 0;
constexpr int kSignalColumn = 5;

int SortCodeOf(int column) {
    return column >= 1 && column < static_cast<int>(kColumns.size())
               ? kColumns[static_cast<size_t>(column)].sortCode
               : 1;
}

} // namespace

CBridgeSearchApDlg::CBridgeSearchApDlg(const Settings& settings, const SkinPaths& skin,
                                       CNetManagement& engine, CSqlManagement& store, std::string targetIp,
                                       std::string targetMac, QWidget* parent)
    : CTDialog(parent), settings_(settings), engine_(engine), store_(store), targetIp_(std::move(targetIp)),
      targetMac_(std::move(targetMac)) {
    setObjectName(QStringLiteral("BridgeSearchApDlg"));
    MakeChildPage();
    auto* title = new CTStatic(this);
    title->setObjectName(QStringLiteral("scanTitle"));
    title->SetStaticLook(settings);
    title->setText(QStringLiteral("SearchOtherAP"));
    title->setGeometry(10, 4, 420, 24);
    refresh_ = new CTButtonPicture(this);
    refresh_->setObjectName(QStringLiteral("scanRefresh"));
    refresh_->SetImage(ToQString(skin.btnUpdateNormal));
    refresh_->setGeometry(214, 6, 20, 20);
    searching_ = new CTPicture(this);
    searching_->setObjectName(QStringLiteral("scanSearching"));
    searching_->Load(ToQString(skin.waitSearch));
    searching_->setGeometry(240, 4, 24, 24);
    scanning_ = new CTStatic(this);
    scanning_->setObjectName(QStringLiteral("scanScanning"));
    scanning_->SetStaticLook(settings);
    scanning_->setText(QStringLiteral("Scanning..."));
    scanning_->setGeometry(270, 4, 200, 24);
    noAnswer_ = new CTStatic(this);
    noAnswer_->setObjectName(QStringLiteral("scanNoAnswer"));
    noAnswer_->SetStaticLook(settings);
    noAnswer_->setText(ToQString(ScanIncompleteText(kApScanLimit)));
    noAnswer_->setGeometry(10, 270, 676, 24);
    noAnswer_->hide();
    BuildGrid(settings, skin);
    TranslateWindow(this);
    // The refresh button and the scanning signs follow the translated title.
    const int right = 10 + title->fontMetrics().horizontalAdvance(title->text()) + 10;
    refresh_->move(right, 6);
    searching_->move(right + 26, 4);
    scanning_->move(right + 56, 4);
    connect(refresh_, &CTButtonPicture::clicked, this, &CBridgeSearchApDlg::StartScan);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &CBridgeSearchApDlg::OnScanTick);
}

CBridgeSearchApDlg::~CBridgeSearchApDlg() {
    worker_.Stop();
}

void CBridgeSearchApDlg::BuildGrid(const Settings& settings, const SkinPaths& skin) {
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("scanGrid"));
    ApplyGridSettings(settings, *grid_);
    grid_->SetColumnCount(static_cast<int>(kColumns.size()));
    grid_->SetRowCount(1);
    for (int column = 0; column < static_cast<int>(kColumns.size()); ++column) {
        const ScanColumn& c = kColumns[static_cast<size_t>(column)];
        SetHeaderCell(settings, *grid_, column, c.width, TranslateText(c.header));
    }
    grid_->AddHandColumn(kTickColumn);
    std::vector<QPixmap> images;
    for (const std::string& path : skin.signalStrength) {
        images.push_back(CGridCtrl::LoadMaskedImage(ToQString(path)));
    }
    grid_->SetImageList(std::move(images));
    grid_->setGeometry(10, 32, 676, 234);
    connect(grid_, &CGridCtrl::cellClicked, this, &CBridgeSearchApDlg::OnCellClicked);
}

void CBridgeSearchApDlg::StartScan() {
    grid_->DeleteDataRows();
    shown_.clear();
    searching_->show();
    searching_->Start();
    scanning_->show();
    noAnswer_->hide();
    refresh_->hide();
    Q_EMIT selectionChanged(false);
    // The table is emptied here, before the request leaves, so that no answer to it can be lost.
    store_.ClearScannedAps();
    worker_.Stop(); // its result belongs to the scan before
    sent_ = SendState::Sending;
    const int scan = ++scans_;
    worker_.Start([this, scan, ip = targetIp_, mac = targetMac_](std::stop_token) {
        const bool sent = engine_.SendCommand(ip, static_cast<int>(MessageType::ScanAps), {}, mac, false);
        sent_ = sent ? SendState::Sent : SendState::NotSent;
        if (!sent) {
            QMetaObject::invokeMethod(
                this, [this, scan] { OnScanNotSent(scan); }, Qt::QueuedConnection);
        }
    });
    ticks_ = 0;
    timer_.start();
}

void CBridgeSearchApDlg::OnScanNotSent(int scan) {
    if (scan == scans_ && timer_.isActive()) {
        EndScan();
    }
}

void CBridgeSearchApDlg::OnScanTick() {
    ++ticks_;
    if (ticks_ >= kScanLimitTicks || Completed()) {
        EndScan();
    }
}

// The engine's scanComplete still tells of an earlier scan until this one's request has left.
bool CBridgeSearchApDlg::Completed() const {
    return sent_ == SendState::Sent && engine_.scanComplete;
}

void CBridgeSearchApDlg::EndScan() {
    timer_.stop();
    searching_->hide();
    scanning_->hide();
    refresh_->show();
    noAnswer_->setText(sent_ == SendState::NotSent ? TranslateText(kScanNotSentKey)
                                                   : ToQString(ScanIncompleteText(kApScanLimit)));
    noAnswer_->setVisible(!Completed());
    FillList(ascending_, sortColumn_);
}

void CBridgeSearchApDlg::FillList(bool ascending, int column) {
    grid_->DeleteDataRows();
    shown_.clear();
    store_.QueryScannedAps(SortCodeOf(column), ascending, shown_);
    sortColumn_ = column;
    ascending_ = ascending;
    grid_->SetRowCount(static_cast<int>(shown_.size()) + 1);
    for (size_t i = 0; i < shown_.size(); ++i) {
        const ScanEntry& ap = shown_[i];
        const int row = static_cast<int>(i) + 1;
        const std::array<QString, 5> texts{
            QString(), ToQString(ap.ssid()), ToQString(ChannelText(ap.channel())),
            ToQString(MacBytesToText(ap.mac())), TranslateText(ScanSecurityText(ap.secure_mode()))};
        for (int c = 0; c < static_cast<int>(texts.size()); ++c) {
            SetNormalCell(settings_, *grid_, row, c, texts[static_cast<size_t>(c)], kFormatCentred);
        }
        SetNormalCell(settings_, *grid_, row, kSignalColumn, QString(), kFormatCentred);
        grid_->SetCellCheckBox(row, kTickColumn);
        grid_->SetCellImage(row, kSignalColumn, SignalImageIndex(ap.signal()));
    }
    grid_->SetSortColumn(column, ascending);
    Q_EMIT selectionChanged(false);
}

void CBridgeSearchApDlg::OnCellClicked(int row, int column) {
    if (row == 0) {
        if (column != kTickColumn) {
            FillList(!ascending_, column);
        }
        return;
    }
    if (column == kTickColumn) {
        OnRowTicked(row);
    }
}

void CBridgeSearchApDlg::OnRowTicked(int row) {
    for (int other = 1; other < grid_->GetRowCount(); ++other) {
        if (other != row) {
            grid_->SetChecked(other, kTickColumn, false);
        }
    }
    Q_EMIT selectionChanged(grid_->IsChecked(row, kTickColumn));
}

std::string CBridgeSearchApDlg::SelectedMac() const {
    for (int row = grid_->GetRowCount() - 1; row >= 1; --row) {
        if (grid_->IsChecked(row, kTickColumn)) {
            return MacBytesToText(shown_[static_cast<size_t>(row - 1)].mac());
        }
    }
    return {};
}

} // namespace rf
