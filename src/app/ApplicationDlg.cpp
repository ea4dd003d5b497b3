#include "app/ApplicationDlg.h"

#include "app/MenuDlg.h"
#include "core/Language.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include "ui/MessageBox.h"
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSizeGrip>

namespace rf {

namespace {

constexpr int kMenuTop = 158;
constexpr int kPagesTop = 86;
constexpr int kGripSize = 16;

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
    : CTDialog(parent), context_(context), pageContext_(PageContext::Of(context, *this)) {
    setObjectName(QStringLiteral("ApplicationDlg"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(ToQString(Translate("VEZEzizozodud")));
    setWindowIcon(QIcon(ToQString(context.skin.applicationIcon)));
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    SetBackgroundImage(ToQString(context.skin.mainBk));
    SetBackgroundFit(BackgroundFit::SliceAtCentre);
    SetDraggable(true);

    auto* name = new CTStatic(this);
    name->setObjectName(QStringLiteral("productName"));
    name->SetFont(ToQString(context.settings.fontName), 700, 26, Qt::white, Qt::transparent);
    name->SetText(windowTitle());
    name->setGeometry(92, 24, 400, 40);

    BuildTitleButtons();
    BuildMenus();
    BuildTray();

    menu_ = new CMenuDlg(context.settings, context.skin, this);
    pages_ = new CChildDlg(pages, pageContext_, this);
    connect(menu_, &CMenuDlg::pageSelected, pages_, &CChildDlg::ShowPage);
    grip_ = new QSizeGrip(this);
    grip_->setObjectName(QStringLiteral("sizeGrip"));
    TranslateWindow(this);
    LayoutTitle();

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
        void (CApplicationDlg::*action)();
    };
    const Title titles[] = {
        {"helpButton", context_.skin.helpNormal, "Info", &CApplicationDlg::ShowHelpMenu},
        {"minButton", context_.skin.minNormal, "Min", &CApplicationDlg::MinimiseToTray},
        {"maxButton", context_.skin.maxNormal, "Maximise", &CApplicationDlg::ToggleMaximised},
        {"closeButton", context_.skin.closeNormal, "Close", &CApplicationDlg::CloseWindow}};
    for (const auto& title : titles) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QString::fromLatin1(title.name));
        button->SetImage(ToQString(title.image));
        button->setToolTip(ToQString(Translate(title.tip)));
        connect(button, &CTButtonPicture::clicked, this, title.action);
        titleButtons_.push_back(button);
    }
    maxButton_ = titleButtons_[2];
}

// The title buttons keep to the top-right corner, the menu column and the page area take the height, and
// the page area the width.
void CApplicationDlg::LayoutTitle() {
    int x = width() - 28 * static_cast<int>(titleButtons_.size());
    for (CTButtonPicture* button : titleButtons_) {
        button->setGeometry(x, 3, 26, 16);
        x += 28;
    }
    if (menu_ == nullptr || pages_ == nullptr) {
        return;
    }
    menu_->setGeometry(0, kMenuTop, menu_->width(), height() - kMenuTop);
    pages_->setGeometry(menu_->width(), kPagesTop, width() - menu_->width(), height() - kPagesTop);
    grip_->setGeometry(width() - kGripSize, height() - kGripSize, kGripSize, kGripSize);
    grip_->raise();
}

void CApplicationDlg::resizeEvent(QResizeEvent* event) {
    CTDialog::resizeEvent(event);
    LayoutTitle();
}

void CApplicationDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ToggleMaximised();
        event->accept();
        return;
    }
    CTDialog::mouseDoubleClickEvent(event);
}

void CApplicationDlg::ToggleMaximised() {
    if (isMaximized()) {
        showNormal();
    } else {
        showMaximized();
    }
}

void CApplicationDlg::changeEvent(QEvent* event) {
    CTDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && maxButton_ != nullptr) {
        const bool maximised = isMaximized();
        maxButton_->SetImage(ToQString(maximised ? context_.skin.restoreNormal : context_.skin.maxNormal));
        maxButton_->setToolTip(ToQString(Translate(maximised ? "Restore window" : "Maximise")));
    }
}

void CApplicationDlg::SetMenuEnabled(bool on) {
    menu_->SetButtonsEnabled(on);
}

void CApplicationDlg::SetAutoRefresh(bool on) {
    pages_->SetAutoRefresh(on);
}

void CApplicationDlg::ShowListPage(int pageId, int page) {
    pages_->OnPageNumber(pageId, page);
}

int CApplicationDlg::CurrentPageId() const {
    return pages_ != nullptr ? pages_->CurrentPageId() : kPageStatus;
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
    connect(tray_, &QSystemTrayIcon::activated, this, &CApplicationDlg::OnTrayActivated);
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
    setWindowState(windowState() & ~Qt::WindowMinimized); // a maximised window comes back maximised
    show();
    raise();
    activateWindow();
}

void CApplicationDlg::OnTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        ShowFromTray();
    }
}

void CApplicationDlg::ShowAbout() {
    MessageBox::about(this, ToQString(Translate("About")),
                      ToQString(Translate("VEZEzizozodud")) + QStringLiteral(" ") +
                          ToQString(context_.settings.versionLabel),
                      windowIcon().pixmap(48, 48));
}

void CApplicationDlg::OpenHelpEntry(const char* urlKey) {
    OpenInBrowser(this, HelpAddress(urlKey, context_.settings.exeDirectory));
}

} // namespace rf
