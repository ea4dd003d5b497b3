#include "bridge/BridgeSetMultiDlg.h"

#include "core/Settings.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QRadioButton>

namespace rf {

CBridgeSetMultiDlg::CBridgeSetMultiDlg(const Settings& settings, const SkinPaths& skin, int openingValue,
                                       SaveHandler onSave, QWidget* parent)
    : CTDialog(parent), onSave_(std::move(onSave)), switchValue_(openingValue != 0 ? 1 : 0) {
    setObjectName(QStringLiteral("BridgeSetMultiDlg"));
    MakeFramelessModal(QSize(360, 220), ToQColor(settings.childBkColor));
    AddLine(QPoint(0, 44), QPoint(360, 44));
    setWindowTitle(QStringLiteral("Set Bridge"));

    auto* title = new CTStatic(this);
    title->setObjectName(QStringLiteral("bridgeTitle"));
    title->SetStaticLook(settings);
    title->setText(QStringLiteral("Set Bridge"));
    title->setGeometry(16, 10, 250, 26);
    auto* label = new CTStatic(this);
    label->setObjectName(QStringLiteral("bridgeLabel"));
    label->SetStaticLook(settings);
    label->setText(QStringLiteral("Set Bridge"));
    label->setGeometry(30, 76, 110, 26);

    enable_ = new QRadioButton(QStringLiteral("Enable"), this);
    enable_->setObjectName(QStringLiteral("bridgeEnable"));
    enable_->setGeometry(150, 76, 90, 26);
    disable_ = new QRadioButton(QStringLiteral("Disable_off"), this);
    disable_->setObjectName(QStringLiteral("bridgeDisable"));
    disable_->setGeometry(250, 76, 100, 26);
    (switchValue_ != 0 ? enable_ : disable_)->setChecked(true);
    connect(enable_, &QRadioButton::clicked, this, [this] { switchValue_ = 1; });
    connect(disable_, &QRadioButton::clicked, this, [this] { switchValue_ = 0; });

    auto* save = new CTButtonPicture(this);
    save->setObjectName(QStringLiteral("bridgeSave"));
    auto* cancel = new CTButtonPicture(this);
    cancel->setObjectName(QStringLiteral("bridgeCancel"));
    int x = 70;
    for (auto [button, caption] : {std::pair{save, "Save"}, std::pair{cancel, "Cancel"}}) {
        button->SetImage(ToQString(skin.btnConfig));
        button->SetPageButtonLook(settings);
        button->SetText(QString::fromUtf8(caption));
        button->setGeometry(x, 160, 90, 30);
        x += 120;
    }
    auto* close = new CTButtonPicture(this);
    close->setObjectName(QStringLiteral("bridgeClose"));
    close->SetImage(ToQString(skin.closeConfig));
    close->setGeometry(width() - 34, 12, 24, 20);
    connect(save, &CTButtonPicture::clicked, this, &CBridgeSetMultiDlg::OnSave);
    connect(cancel, &CTButtonPicture::clicked, this, &QDialog::reject);
    connect(close, &CTButtonPicture::clicked, this, &QDialog::reject);
    SetDefaultButton(save);
    SetEscapeButton(cancel);
    TranslateWindow(this);
}

void CBridgeSetMultiDlg::OnSave() {
    if (onSave_) {
        onSave_(switchValue_ != 0);
    }
    accept();
}

} // namespace rf
