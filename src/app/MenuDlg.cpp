#include "app/MenuDlg.h"

#include "app/PageIds.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"

namespace rf {

namespace {

constexpr int kWidth = 220;
constexpr int kHeight = 522;
constexpr int kButtonHeight = 45;
constexpr int kButtonPitch = 43; // buttons overlap by their shadow

const char* MenuText(int pageId) {
    switch (pageId) {
    case kPageStatus:
        return "Device status";
    case kPageManagement:
        return "Device management";
    case kPageBridge:
        return "Device bridge";
    case kPageReboot:
        return "Device reboot";
    case kPageUpgrade:
        return "Device upgrade";
    case kPageRestore:
        return "Device restore";
    case kPageSystemTool:
        return "System tool";
    default:
        return "Install Help";
    }
}

} // namespace

CMenuDlg::CMenuDlg(const SkinPaths& skin, const QString& versionLabel, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("MenuDlg"));
    MakeChildPage();
    setFixedSize(kWidth, kHeight);
    SetBackgroundImage(ToQString(skin.mainLeftBk));

    int y = 0;
    for (const int pageId : kMenuPages) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QStringLiteral("menu%1").arg(pageId));
        const bool status = pageId == kPageStatus;
        const QString normal = ToQString(status ? skin.menuSearchNormal : skin.menuWirelessNormal);
        const QString down = ToQString(status ? skin.menuSearchDown : skin.menuWirelessDown);
        button->SetImages(normal, down, down, normal);
        button->SetMenuButtonLook(ToQString(Translate(MenuText(pageId))));
        button->setGeometry(0, y, kWidth - 2, kButtonHeight);
        y += kButtonPitch;
        connect(button, &CTButtonPicture::clicked, this, [this, pageId] { SelectPage(pageId); });
        buttons_[pageId] = button;
    }

    version_ = new CTStatic(this);
    version_->setObjectName(QStringLiteral("versionLabel"));
    const Settings& s = GlobalSettings();
    version_->SetFont(ToQString(s.fontName), s.staticFontWeight, s.staticFontHeight,
                      ToQColor(s.staticTextNumberColor), ToQColor(s.staticFontBkColor));
    version_->SetText(versionLabel);
    version_->setAlignment(Qt::AlignCenter);
    version_->setGeometry(10, kHeight - 30, kWidth - 20, 18);
    selected_ = kPageStatus;
    buttons_[kPageStatus]->SetSelected(true);
}

CTButtonPicture* CMenuDlg::Button(int pageId) const {
    const auto found = buttons_.find(pageId);
    return found == buttons_.end() ? nullptr : found->second;
}

void CMenuDlg::SelectPage(int pageId) {
    if (!buttons_.contains(pageId)) {
        return;
    }
    for (auto& [id, button] : buttons_) {
        button->SetSelected(id == pageId);
    }
    selected_ = pageId;
    Q_EMIT pageSelected(pageId);
}

} // namespace rf
