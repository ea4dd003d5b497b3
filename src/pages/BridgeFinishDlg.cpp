#include "pages/BridgeFinishDlg.h"

#include "core/Settings.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

namespace rf {

CBridgeFinishDlg::CBridgeFinishDlg(const Settings& settings, const SkinPaths& skin, QWidget* parent)
    : CTDialog(parent) {
    setObjectName(QStringLiteral("BridgeFinishDlg"));
    MakeChildPage();
    auto* picture = new CTPicture(this);
    picture->setObjectName(QStringLiteral("bridgeFinishPicture"));
    picture->Load(ToQString(skin.bridgeFinish));
    picture->setGeometry(20, 10, 656, 220);
    auto* text = new CTStatic(this);
    text->setObjectName(QStringLiteral("bridgeFinishText"));
    text->SetStaticLook(settings);
    text->setText(QStringLiteral("You are configuring the device to work as Station mode."));
    text->setGeometry(20, 240, 656, 26);
    TranslateWindow(this);
}

} // namespace rf
