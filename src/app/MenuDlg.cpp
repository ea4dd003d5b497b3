#include "app/MenuDlg.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "shell/PageIds.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/TextPlacement.h"

namespace rf {

namespace {

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

CMenuDlg::CMenuDlg(const Settings& settings, const SkinPaths& skin, QWidget* parent) : CTDialog(parent) {
    setObjectName(QStringLiteral("MenuDlg"));
    MakeChildPage();
    setFixedWidth(kWidth);
    setMinimumHeight(kMinimumHeight);
    resize(kWidth, kMinimumHeight);
    SetBackgroundImage(ToQString(skin.mainLeftBk));
    SetBackgroundFit(BackgroundFit::SliceAtCentre);

    int y = 0;
    for (const int pageId : kMenuPages) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QStringLiteral("menu%1").arg(pageId));
        const bool status = pageId == kPageStatus;
        const QString normal = ToQString(status ? skin.menuSearchNormal : skin.menuWirelessNormal);
        const QString down = ToQString(status ? skin.menuSearchDown : skin.menuWirelessDown);
        button->SetImages(normal, down, down, normal);
        button->SetMenuButtonLook(settings, ToQString(Translate(MenuText(pageId))));
        button->SetTextPlacement(kAlignCentre, kTextMargin);
        button->setGeometry(0, y, kWidth - 2, kButtonHeight);
        y += kButtonPitch;
        connect(button, &CTButtonPicture::clicked, this, [this, pageId] { SelectPage(pageId); });
        buttons_[pageId] = button;
    }

    version_ = new CTStatic(this);
    version_->setObjectName(QStringLiteral("versionLabel"));
    const Settings& s = settings;
    version_->SetFont(ToQString(s.fontName), s.staticFontWeight, s.staticFontHeight,
                      ToQColor(s.staticTextNumberColor), ToQColor(s.staticFontBkColor));
    version_->SetText(ToQString(s.versionLabel));
    version_->setAlignment(Qt::AlignCenter);
    version_->setGeometry(10, height() - 30, kWidth - 20, 18);
    selected_ = kPageStatus;
    buttons_[kPageStatus]->SetSelected(true);
}

CTButtonPicture* CMenuDlg::Button(int pageId) const {
    const auto found = buttons_.find(pageId);
    return found == buttons_.end() ? nullptr : found->second;
}

void CMenuDlg::SetButtonsEnabled(bool on) {
    for (auto& [id, button] : buttons_) {
        button->setEnabled(on);
    }
}

void CMenuDlg::resizeEvent(QResizeEvent* event) {
    CTDialog::resizeEvent(event);
    version_->move(version_->x(), height() - 30);
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
