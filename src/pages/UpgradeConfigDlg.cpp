#include "pages/UpgradeConfigDlg.h"

#include "core/Settings.h"
#include "operations/OperationCatalogue.h"
#include "pages/FirmwareServerHost.h"
#include "relayd/ServerReadiness.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>

namespace rf {
namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 260;
constexpr int kTitleHeight = 40;

CTStatic* MakeLabel(const Settings& settings, QWidget* parent, const char* key, int y) {
    auto* label = new CTStatic(parent);
    label->SetStaticLook(settings);
    label->setText(QString::fromUtf8(key));
    label->setGeometry(20, y, 100, 26);
    return label;
}

} // namespace

CUpgradeConfigDlg::CUpgradeConfigDlg(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                                     const SkinPaths& skin, CFirmwareServerHost& server,
                                     std::vector<SelectedDevice> selected, StatusHandler onStatus,
                                     QWidget* parent)
    : CTDialog(parent), engine_(engine), store_(store), settings_(settings), server_(server),
      selected_(std::move(selected)), types_(UpgradeTypes(selected_)), onStatus_(std::move(onStatus)) {
    setObjectName(QStringLiteral("UpgradeConfigDlg"));
    MakeFramelessModal(QSize(kWidth, kHeight), ToQColor(settings.childBkColor));
    setWindowTitle(QStringLiteral("Device upgrade"));
    BuildControls(skin);
    FillTypes();
    TranslateWindow(this);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CUpgradeConfigDlg::OnTick);
    connect(&server_, &CFirmwareServerHost::waiting, this, &CUpgradeConfigDlg::OnServerWaiting);
    connect(&server_, &CFirmwareServerHost::started, this, &CUpgradeConfigDlg::OnServerStarted);
}

CUpgradeConfigDlg::~CUpgradeConfigDlg() {
    timer_.stop();
    sendWorker_.Stop();
    StopServer();
}

void CUpgradeConfigDlg::BuildControls(const SkinPaths& skin) {
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("upgradeTitleStrip"));
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, ToQColor(settings_.gridTitleBkColor));
    strip->setPalette(palette);
    strip->setGeometry(0, 0, kWidth, kTitleHeight);
    auto* title = new CTStatic(strip);
    title->setObjectName(QStringLiteral("upgradeTitle"));
    title->SetStaticLook(settings_);
    title->setText(QStringLiteral("Device upgrade"));
    title->setGeometry(16, 7, 300, 26);

    MakeLabel(settings_, this, "Type", 62);
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("upgradeType"));
    type_->setGeometry(120, 62, 200, 26);
    MakeLabel(settings_, this, "ChooseFile", 104);
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("upgradePath"));
    path_->setReadOnly(true);
    path_->setGeometry(120, 104, 220, 26);

    scan_ = new CTButtonPicture(this);
    scan_->setObjectName(QStringLiteral("upgradeScan"));
    upgrade_ = new CTButtonPicture(this);
    upgrade_->setObjectName(QStringLiteral("upgradeStart"));
    cancel_ = new CTButtonPicture(this);
    cancel_->setObjectName(QStringLiteral("upgradeCancel"));
    for (auto [button, key, x, y] :
         {std::tuple{scan_, "Scan", 350, 102}, std::tuple{upgrade_, "Upgrade", 185, 200},
          std::tuple{cancel_, "Cancel", 185, 200}}) {
        button->SetImage(ToQString(skin.btnConfig));
        button->SetPageButtonLook(settings_);
        button->SetText(QString::fromUtf8(key));
        button->setGeometry(x, y, 90, 30);
    }
    close_ = new CTButtonPicture(this);
    close_->setObjectName(QStringLiteral("upgradeClose"));
    close_->SetImage(ToQString(skin.closeConfig));
    close_->setGeometry(kWidth - 34, 10, 24, 20);

    progressLabel_ = new CTStatic(this);
    progressLabel_->setObjectName(QStringLiteral("upgradeProgressLabel"));
    progressLabel_->SetStaticLook(settings_);
    progressLabel_->setGeometry(20, 148, 420, 22);
    progressLabel_->hide();
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("upgradeProgress"));
    progress_->setGeometry(20, 176, 420, 18);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->hide();

    connect(scan_, &CTButtonPicture::clicked, this, &CUpgradeConfigDlg::OnScan);
    connect(upgrade_, &CTButtonPicture::clicked, this, &CUpgradeConfigDlg::OnUpgrade);
    cancel_->hide();
    connect(close_, &CTButtonPicture::clicked, this, &CUpgradeConfigDlg::OnClose);
    connect(cancel_, &CTButtonPicture::clicked, this, &CUpgradeConfigDlg::OnCancel);
    SetDefaultButton(upgrade_);
    SetEscapeButton(close_);
}

void CUpgradeConfigDlg::FillTypes() {
    for (const UpgradeType& type : types_) {
        type_->addItem(ToQString(type.text), type.model);
    }
    type_->setProperty("rfNoTranslate", true); // model names are names
    type_->setCurrentIndex(0);
}

void CUpgradeConfigDlg::OnScan() {
    const QString file =
        FileDialog::getOpenFileName(this, QString(), FileDialog::Kind::Firmware,
                                    TranslateText("Firmware files") + QStringLiteral(" (*.bin *.BIN);;") +
                                        TranslateText("All files") + QStringLiteral(" (*)"));
    if (!file.isEmpty()) {
        path_->setText(file);
    }
}

std::optional<UpgradeFile> CUpgradeConfigDlg::CheckedFile() {
    const std::string path = ToStdString(path_->text());
    if (const std::string name = CheckUpgradeFileName(path); !name.empty()) {
        MessageBox::warning(this, TranslateText(name));
        return std::nullopt;
    }
    // A file that cannot be sent is refused before the user is asked to go ahead.
    std::string refusal;
    std::optional<UpgradeFile> file = ReadUpgradeFile(path, refusal);
    if (!file) {
        MessageBox::warning(this, TranslateText(refusal));
        return std::nullopt;
    }
    if (!MessageBox::confirm(this, TranslateText("Are you sure you want to upgrade?"))) {
        return std::nullopt;
    }
    return file;
}

void CUpgradeConfigDlg::OnUpgrade() {
    if (run_ || startTicket_ != 0) {
        return;
    }
    if (const std::optional<UpgradeFile> file = CheckedFile()) {
        StartServer(*file);
    }
}

// Nothing is sent until the server answers: the host waits for it, and Cancel gives the wait up.
void CUpgradeConfigDlg::StartServer(const UpgradeFile& file) {
    scan_->setEnabled(false);
    upgrade_->hide();
    cancel_->show();
    progressLabel_->setText(TranslateText(kWaitingForLaunchKey));
    progressLabel_->show();
    startFile_ = file;
    const UpgradeType& type = types_.at(static_cast<size_t>(type_->currentIndex()));
    startTicket_ = server_.Start(file.folder, UpgradeAddresses(selected_, type));
}

void CUpgradeConfigDlg::OnServerWaiting(int ticket, int state) {
    if (ticket == startTicket_ && ticket != 0) {
        const bool launching =
            static_cast<CServerReadiness::State>(state) == CServerReadiness::State::Launching;
        progressLabel_->setText(TranslateText(launching ? kWaitingForLaunchKey : kWaitingForAnswerKey));
    }
}

// Answers to starts the dialog no longer waits for (it was closed or cancelled meanwhile) are passed over.
void CUpgradeConfigDlg::OnServerStarted(int ticket, int outcome) {
    if (ticket != startTicket_ || ticket == 0) {
        return;
    }
    startTicket_ = 0;
    const UpgradeFile file = *startFile_;
    startFile_.reset();
    const auto state = static_cast<CServerReadiness::State>(outcome);
    if (state != CServerReadiness::State::Ready) {
        server_.Stop(); // a server that does not answer, or a launcher still there
        ShowChoosing();
        MessageBox::warning(this, TranslateText(state == CServerReadiness::State::Silent
                                                    ? kServerSilentKey
                                                    : kFirmwareServerFailedMessage));
        return;
    }
    serverRuns_ = true;
    BeginRun(file);
}

void CUpgradeConfigDlg::OnCancel() {
    StopServer();
    ShowChoosing();
}

void CUpgradeConfigDlg::ShowChoosing() {
    scan_->setEnabled(true);
    upgrade_->show();
    cancel_->hide();
    progressLabel_->hide();
}

void CUpgradeConfigDlg::BeginRun(const UpgradeFile& file) {
    const int chosen = type_->currentIndex();
    run_ = std::make_unique<UpgradeRun>(engine_, store_, selected_, types_.at(static_cast<size_t>(chosen)),
                                        file);
    cancel_->hide();
    progress_->setRange(0, run_->Range());
    progress_->setValue(0);
    progress_->show();
    progressLabel_->setText(TranslateText("Upgrade file transfer progress"));
    progressLabel_->show();
    sendWorker_.Start([run = run_.get()](const std::stop_token& stop) { run->SendBatch(stop); });
    timer_.start();
}

void CUpgradeConfigDlg::OnTick() {
    if (!run_ || run_->Finished()) {
        return;
    }
    const UpgradeRun::Step step = run_->Tick();
    ShowStatuses();
    if (step.upgradePhaseBegun) {
        progressLabel_->setText(TranslateText("Firmware upgrading progress"));
    }
    progress_->setRange(0, run_->Range());
    progress_->setValue(run_->Position());
    if (step.finished) {
        EndRun();
        accept();
    }
}

void CUpgradeConfigDlg::ShowStatuses() {
    if (!onStatus_) {
        return;
    }
    const auto& statuses = run_->Statuses();
    for (size_t i = 0; i < selected_.size(); ++i) {
        onStatus_(selected_[i].Mac(), ToCode(statuses[i]));
    }
}

void CUpgradeConfigDlg::OnClose() {
    EndRun();
    reject();
}

void CUpgradeConfigDlg::EndRun() {
    timer_.stop();
    sendWorker_.Stop();
    StopServer();
    scan_->setEnabled(true);
    upgrade_->show();
    cancel_->hide();
}

void CUpgradeConfigDlg::StopServer() {
    if (serverRuns_ || startTicket_ != 0) {
        server_.Stop();
        serverRuns_ = false;
        startTicket_ = 0;
        startFile_.reset();
    }
}

std::vector<UpgradeDeviceResult> CUpgradeConfigDlg::Results() const {
    return run_ ? run_->Results() : std::vector<UpgradeDeviceResult>{};
}

void CUpgradeConfigDlg::FinishWorkers() {
    sendWorker_.Wait();
}

} // namespace rf
