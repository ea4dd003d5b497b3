#include "pages/IpsetMutilDlg.h"

#include "core/Settings.h"
#include "operations/OperationCatalogue.h"
#include "pages/IpFieldForm.h"
#include "protocol/NetManagement.h"
#include "ui/IpAddressEdit.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QProgressBar>

namespace rf {
namespace {

constexpr int kRowStep = 44;
constexpr int kFirstRow = 60;

std::string TextOf(const CIpAddressEdit* field) {
    return ToStdString(field->Address());
}

} // namespace

CIpsetMutilDlg::CIpsetMutilDlg(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                               const SkinPaths& skin, const IpSettingsBlock& current,
                               std::vector<SelectedDevice> selection, SaveHandler onSave, QWidget* parent)
    : CTDialog(parent), engine_(engine), store_(store), settings_(settings), selection_(std::move(selection)),
      onSave_(std::move(onSave)) {
    setObjectName(QStringLiteral("IpsetMutilDlg"));
    MakeFramelessModal(QSize(400, 410), ToQColor(settings.childBkColor));
    AddLine(QPoint(0, 44), QPoint(400, 44));
    setWindowTitle(QStringLiteral("Set IP"));

    auto* title = new CTStatic(this);
    title->setObjectName(QStringLiteral("ipTitle"));
    title->SetStaticLook(settings);
    title->setText(QStringLiteral("Set IP"));
    title->setGeometry(16, 10, 250, 26);

    BuildFields(current);
    BuildButtons(skin);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ipProgress"));
    progress_->setGeometry(30, 326, 340, 18);
    progress_->setTextVisible(false);
    progress_->hide();
    TranslateWindow(this);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CIpsetMutilDlg::OnProgressTick);
}

void CIpsetMutilDlg::BuildFields(const IpSettingsBlock& current) {
    const IpFieldRow start =
        MakeIpFieldRow(settings_, this, "IP_Address_Begin", QStringLiteral("ipStart"), kFirstRow);
    const IpFieldRow end =
        MakeIpFieldRow(settings_, this, "IP_Address_End", QStringLiteral("ipEnd"), kFirstRow + kRowStep);
    start_ = start.field;
    end_ = end.field;
    const char* keys[] = {"Sub_Network", "Gate_Way", "Major_Dns", "Dns"};
    const QString names[] = {QStringLiteral("ipMask"), QStringLiteral("ipGateway"), QStringLiteral("ipDns1"),
                             QStringLiteral("ipDns2")};
    CIpAddressEdit** fields[] = {&mask_, &gateway_, &dns1_, &dns2_};
    const size_t offsets[] = {kBlockMaskOffset, kBlockGatewayOffset, kBlockDns1Offset, kBlockDns2Offset};
    for (int i = 0; i < 4; ++i) {
        *fields[i] = MakeIpFieldRow(settings_, this, keys[i], names[i], kFirstRow + kRowStep * (i + 2)).field;
        (*fields[i])->SetAddress(IpText(BlockAddress(current, offsets[i])));
    }
    start_->SetAddress(IpText(BlockAddress(current, kBlockIpOffset)));
    if (selection_.size() <= 1) {
        end.label->hide();
        end_->hide();
        start.label->setText(QStringLiteral("IP_Address"));
        start.label->move(start.label->x(), start.label->y() + 33);
        start_->move(start_->x(), start_->y() + 33);
    }
}

void CIpsetMutilDlg::BuildButtons(const SkinPaths& skin) {
    save_ = new CTButtonPicture(this);
    save_->setObjectName(QStringLiteral("ipSave"));
    cancel_ = new CTButtonPicture(this);
    cancel_->setObjectName(QStringLiteral("ipCancel"));
    int x = 90;
    for (auto [button, caption] : {std::pair{save_, "Save"}, std::pair{cancel_, "Cancel"}}) {
        button->SetImage(ToQString(skin.btnConfig));
        button->SetPageButtonLook(settings_);
        button->SetText(QString::fromUtf8(caption));
        button->setGeometry(x, 358, 90, 30);
        x += 120;
    }
    auto* close = new CTButtonPicture(this);
    close->setObjectName(QStringLiteral("ipClose"));
    close->SetImage(ToQString(skin.closeConfig));
    close->setGeometry(width() - 34, 12, 24, 20);
    connect(save_, &CTButtonPicture::clicked, this, &CIpsetMutilDlg::OnSave);
    connect(cancel_, &CTButtonPicture::clicked, this, &QDialog::reject);
    connect(close, &CTButtonPicture::clicked, this, &QDialog::reject);
    SetDefaultButton(save_);
    SetEscapeButton(cancel_);
}

void CIpsetMutilDlg::SetInputsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{start_, end_, mask_, gateway_, dns1_, dns2_, save_, cancel_}) {
        w->setEnabled(enabled);
    }
}

std::optional<BatchPlan> CIpsetMutilDlg::PlanFromFields() {
    CheckResult check = CheckIpRange(
        store_, selection_, {TextOf(start_), TextOf(mask_), TextOf(gateway_), TextOf(dns1_), TextOf(dns2_)},
        TextOf(end_));
    if (!check.Accepted()) {
        MessageBox::warning(this, TranslateText(check.refusal->messageKey));
        return std::nullopt;
    }
    const std::vector<std::string> left = DevicesWithoutAddress(check.plan);
    if (!left.empty() &&
        !MessageBox::confirm(
            this, ToQString(RangeTooSmallText(left)) + QStringLiteral("\n") +
                      TranslateText("Press OK to set the others, or Cancel to widen the range."))) {
        return std::nullopt;
    }
    return std::move(check.plan);
}

void CIpsetMutilDlg::OnSave() {
    std::optional<BatchPlan> plan = PlanFromFields();
    if (!plan) {
        return;
    }
    if (onSave_) {
        onSave_(std::move(*plan));
    }
    SetInputsEnabled(false);
    progress_->setRange(0, kTotalTicks);
    progress_->setValue(0);
    progress_->show();
    counter_ = 1;
    remaining_ = kSearchPasses;
    timer_.start();
}

// The searches fall on t = 17, 23 and 29, the last on the closing tick, 14.5 s after Save.
void CIpsetMutilDlg::OnProgressTick() {
    const int t = counter_++;
    if (remaining_ > 0 && t + 6 * remaining_ == 35) {
        if (remaining_ == kSearchPasses) {
            engine_.SendLeaveToAnnounced();
        }
        --remaining_;
        engine_.SearchDevices();
    }
    progress_->setValue(counter_);
    if (counter_ >= kTotalTicks) {
        timer_.stop();
        progress_->setValue(kTotalTicks);
        accept();
    }
}

} // namespace rf
