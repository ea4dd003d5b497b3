#include "app/InstallHelpDlg.h"

#include "app/ScrollBitmapWnd.h"
#include "shell/PageContext.h"
#include "shell/PageIds.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/WindowTranslation.h"

namespace rf {

CInstallHelpDlg::CInstallHelpDlg(const PageContext& context, QWidget* parent)
    : CPage(kPageInstallHelp, parent) {
    TranslateWindow(this);
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    picture_ = new CScrollBitmapWnd(this);
    picture_->setObjectName(QStringLiteral("installHelpPicture"));
    picture_->LoadPicture(ToQString(context.skin.installHelp));
}

void CInstallHelpDlg::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    picture_->setGeometry(rect().adjusted(5, 5, -5, -5));
}

} // namespace rf
