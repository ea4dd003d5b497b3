#include "app/ApplicationDlg.h"

#include "app/AppContext.h"
#include "app/DesktopLinks.h"
#include "app/MenuDlg.h"
#include "core/Language.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

namespace rf {

namespace {

constexpr int kMenuTop = 158;
constexpr int kPagesTop = 86;

struct HelpEntry {
    const char* text;
    const char* urlKey;
};
constexpr HelpEntry kHelpEntries[] = {{"Product", "Product_url"},
                                      {"Support", "Support_url"},
                                      {"Contact Us", "Contact_url"},
                                      {"Help", "Help_url"}};

} // namespace

CApplicationDlg::CApplicationDlg(const AppContext& context, const PageFactory& pages, QWidget* parent)
    : CTDialog(parent), context_(context) {
    setObjectName(QStringLiteral("ApplicationDlg"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(ToQString(Translate("VEZEzizozodud")));
    setWindowIcon(QIcon(ToQString(context.skin.applicationIcon)));
    setFixedSize(kWidth, kHeight);
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    SetBackgroundImage(ToQString(context.skin.mainBk));
    SetDraggable(true);

    auto* name = new CTStatic(this);
    name->setObjectName(QStringLiteral("productName"));
    name->SetFont(ToQString(context.settings.fontName), 700, 26, Qt::white, Qt::transparent);
    name->SetText(windowTitle());
    name->setGeometry(92, 24, 400, 40);

    BuildTitleButtons();
    BuildMenus();
    BuildTray();

    menu_ = new CMenuDlg(context.skin, ToQString(context.settings.versionLabel), this);
    menu_->move(0, kMenuTop);
    pages_ = new CChildDlg(pages, this);
    pages_->setGeometry(menu_->width(), kPagesTop, kWidth - menu_->width(), kHeight - kPagesTop);
    connect(menu_, &CMenuDlg::pageSelected, pages_, &CChildDlg::ShowPage);
    TranslateWindow(this);

    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

CApplicationDlg::~CApplicationDlg() {
    if (tray_) {
        tray_->hide();
    }
}

void CApplicationDlg::BuildTitleButtons() {
    struct Title {
        const char* name;
        const std::string& image;
        const char* tip;
        int x;
        void (CApplicationDlg::*action)();
    };
    const Title titles[] = {
        {"helpButton", context_.skin.helpNormal, "Info", kWidth - 84, &CApplicationDlg::ShowHelpMenu},
        {"minButton", context_.skin.minNormal, "Min", kWidth - 56, &CApplicationDlg::MinimiseToTray},
        {"closeButton", context_.skin.closeNormal, "Close", kWidth - 28, &CApplicationDlg::CloseWindow}};
    for (const auto& title : titles) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QString::fromLatin1(title.name));
        button->SetImage(ToQString(title.image));
        button->setToolTip(ToQString(Translate(title.tip)));
        button->setGeometry(title.x, 3, 26, 16);
        connect(button, &CTButtonPicture::clicked, this, title.action);
    }
}

void CApplicationDlg::ShowHelpMenu() {
    raise();
    helpMenu_->popup(QCursor::pos() + QPoint(-6, 30));
}

void CApplicationDlg::CloseWindow() {
    close();
}

void CApplicationDlg::BuildMenus() {
    helpMenu_ = new QMenu(this);
    helpMenu_->setObjectName(QStringLiteral("helpMenu"));
    const std::string* icons[] = {&context_.skin.helpProduct, &context_.skin.helpSupport,
                                  &context_.skin.helpContact, &context_.skin.helpHelp};
    int i = 0;
    for (const auto& entry : kHelpEntries) {
        QAction* action =
            helpMenu_->addAction(QIcon(ToQString(*icons[i++])), QString::fromLatin1(entry.text));
        const char* key = entry.urlKey;
        connect(action, &QAction::triggered, this, [this, key] { OpenHelpEntry(key); });
    }
    TranslateMenu(helpMenu_);

    trayMenu_ = new QMenu(this);
    trayMenu_->setObjectName(QStringLiteral("trayMenu"));
    connect(trayMenu_->addAction(QStringLiteral("Show Utility")), &QAction::triggered, this,
            &CApplicationDlg::ShowFromTray);
    connect(trayMenu_->addAction(QStringLiteral("About")), &QAction::triggered, this,
            &CApplicationDlg::ShowAbout);
    trayMenu_->addSeparator();
    connect(trayMenu_->addAction(QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);
    TranslateMenu(trayMenu_);
}

void CApplicationDlg::BuildTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    tray_ = new QSystemTrayIcon(windowIcon(), this);
    tray_->setToolTip(ToQString(Translate("VEZEzizozodud")).left(127));
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) {
            ShowFromTray();
        }
    });
    tray_->show();
}

void CApplicationDlg::MinimiseToTray() {
    if (tray_ && tray_->isVisible()) {
        hide();
    } else {
        showMinimized();
    }
}

void CApplicationDlg::ShowFromTray() {
    showNormal();
    raise();
    activateWindow();
}

void CApplicationDlg::ShowAbout() {
    QMessageBox box(this);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(ToQString(Translate("About")));
    box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.setText(ToQString(Translate("VEZEzizozodud")) + QStringLiteral(" ") +
                ToQString(context_.settings.versionLabel));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CApplicationDlg::OpenHelpEntry(const char* urlKey) {
    OpenInBrowser(HelpAddress(urlKey, context_.settings.exeDirectory));
}

} // namespace rf
