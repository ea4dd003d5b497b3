#include "pages/BridgeConfigDlg.h"

#include "core/Settings.h"
#include "operations/OperationChecks.h"
#include "pages/BridgeFinishDlg.h"
#include "pages/BridgeIPSetDlg.h"
#include "pages/BridgeSearchApDlg.h"
#include "pages/BridgeSecureDlg.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QPainter>

namespace rf {
namespace {

constexpr int kWidth = 720, kHeight = 420, kTitleHeight = 44;
constexpr QRect kStepArea{12, kTitleHeight + 8, 696, 300};

// The title strip across the top, in the grid title background colour.
class TitleStrip : public QWidget {
public:
    TitleStrip(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

} // namespace

CBridgeConfigDlg::CBridgeConfigDlg(const Settings& settings, const SkinPaths& skin, CNetManagement& engine,
                                   CSqlManagement& store, const ap_info_stu& record, QWidget* parent)
    : CTDialog(parent), store_(store), record_(record), settings_(record.device_info()) {
    setObjectName(QStringLiteral("BridgeConfigDlg"));
    MakeFramelessModal(QSize(kWidth, kHeight), ToQColor(settings.childBkColor));
    setWindowTitle(QStringLiteral("Device bridge"));
    auto* strip = new TitleStrip(ToQColor(settings.gridTitleBkColor), this);
    strip->setGeometry(0, 0, kWidth, kTitleHeight);
    auto* title = new CTStatic(strip);
    title->setObjectName(QStringLiteral("bridgeWizardTitle"));
    title->SetStaticLook(settings);
    title->setText(QStringLiteral("Device bridge"));
    title->setGeometry(16, 10, 300, 26);

    const std::string ip = IpBytesToText(record.device_info().ip());
    scan_ = new CBridgeSearchApDlg(settings, skin, engine, store, ip, record.mac(), this);
    secure_ = new CBridgeSecureDlg(settings, this);
    ip_ = new CBridgeIPSetDlg(settings, this);
    finish_ = new CBridgeFinishDlg(settings, skin, this);
    for (QWidget* panel : std::initializer_list<QWidget*>{scan_, secure_, ip_, finish_}) {
        panel->setGeometry(kStepArea);
    }
    BuildButtons(settings, skin);
    TranslateWindow(this);
    connect(scan_, &CBridgeSearchApDlg::selectionChanged, next_, &QWidget::setEnabled);
    Show(kScanStep);
    back_->hide();
    next_->setEnabled(false);
    scan_->StartScan();
}

void CBridgeConfigDlg::BuildButtons(const Settings& settings, const SkinPaths& skin) {
    back_ = new CTButtonPicture(this);
    back_->setObjectName(QStringLiteral("bridgeBack"));
    next_ = new CTButtonPicture(this);
    next_->setObjectName(QStringLiteral("bridgeNext"));
    int x = kWidth - 250;
    for (auto [button, caption] : {std::pair{back_, "Back"}, std::pair{next_, "Next"}}) {
        button->SetImage(ToQString(skin.btnConfig));
        button->SetPageButtonLook(settings);
        button->SetText(QString::fromUtf8(caption));
        button->setGeometry(x, kHeight - 50, 100, 30);
        x += 120;
    }
    close_ = new CTButtonPicture(this);
    close_->setObjectName(QStringLiteral("bridgeWizardClose"));
    close_->SetImage(ToQString(skin.closeConfig));
    close_->setGeometry(kWidth - 34, 12, 24, 20);
    connect(next_, &CTButtonPicture::clicked, this, &CBridgeConfigDlg::OnNext);
    connect(back_, &CTButtonPicture::clicked, this, &CBridgeConfigDlg::OnBack);
    connect(close_, &CTButtonPicture::clicked, this, &CBridgeConfigDlg::OnClose);
    SetDefaultButton(next_);
    SetEscapeButton(close_);
}

void CBridgeConfigDlg::Show(int step) {
    step_ = step;
    scan_->setVisible(step == kScanStep);
    secure_->setVisible(step == kSecurityStep);
    ip_->setVisible(step == kIpStep);
    finish_->setVisible(step == kFinishStep);
    back_->setVisible(step != kScanStep);
    next_->SetText(TranslateText(step == kFinishStep ? "Save" : "Next"));
}

void CBridgeConfigDlg::OnNext() {
    switch (step_) {
    case kScanStep: {
        ScanEntry ap;
        if (!store_.GetScannedAp(scan_->SelectedMac(), ap)) {
            return;
        }
        secure_->PresetFromScan(record_.ap_type(), record_.device_info().rf_type(), ap);
        Show(kSecurityStep);
        break;
    }
    case kSecurityStep:
        if (secure_->Collect(settings_)) {
            ip_->Prefill(record_.device_info());
            Show(kIpStep);
        }
        break;
    case kIpStep: {
        IpSettingsBlock block{};
        if (ip_->Collect(AddressUsedByOthers(store_, {record_.mac()}), block)) {
            std::copy(block.begin(), block.end(), settings_.mutable_ip_settings_block().begin());
            Show(kFinishStep);
        }
        break;
    }
    default:
        store_.ClearScannedAps();
        accept();
    }
}

void CBridgeConfigDlg::OnBack() {
    if (step_ > kScanStep) {
        Show(step_ - 1);
    }
}

void CBridgeConfigDlg::OnClose() {
    store_.ClearScannedAps();
    reject();
}

} // namespace rf
