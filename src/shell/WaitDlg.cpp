#include "shell/WaitDlg.h"

#include "protocol/NetManagement.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/WindowTranslation.h"

#include <QProgressBar>

namespace rf {

CWaitDlg::CWaitDlg(CNetManagement& engine, const SkinPaths& skin, int seconds, bool search, int searchCount,
                   QWidget* parent)
    : CTDialog(parent), engine_(engine), schedule_(seconds, search, searchCount) {
    setObjectName(QStringLiteral("WaitDlg"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(420, 90);
    SetFillWithColour(true);
    SetBackgroundColour(QColor(242, 242, 242));

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("waitProgress"));
    progress_->setGeometry(20, 40, 380, 22);
    progress_->setRange(0, schedule_.Total());
    progress_->setValue(0);
    progress_->setTextVisible(false);

    auto* close = new CTButtonPicture(this);
    close->setObjectName(QStringLiteral("waitClose"));
    close->SetImage(ToQString(skin.closeWait));
    close->setGeometry(width() - 30, 6, 24, 16);
    connect(close, &CTButtonPicture::clicked, this, &QDialog::accept);
    SetEscapeCloses(false);

    TranslateWindow(this);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CWaitDlg::OnTick);
    timer_.start();
}

int CWaitDlg::Progress() const {
    return progress_->value();
}

void CWaitDlg::OnTick() {
    const auto step = schedule_.Tick();
    if (step.sendLeave) {
        engine_.SendLeaveToAnnounced();
    }
    if (step.search) {
        engine_.SearchDevices();
    }
    progress_->setValue(step.progress);
    if (step.close) {
        timer_.stop();
        accept();
    }
}

} // namespace rf
