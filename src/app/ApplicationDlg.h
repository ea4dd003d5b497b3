#pragma once

#include "app/ChildDlg.h"
#include "shell/INavigation.h"
#include "shell/PageContext.h"
#include "ui/TDialog.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <vector>

class QMenu;

namespace rf {

class CMenuDlg;
class CTButtonPicture;
struct AppContext;

// The main window: borderless and skinned, dragged by any free spot, with the navigation column, the page
// area, three title buttons, a help menu and a tray icon. It can be made larger than its designed size (by
// the corner grip, or maximised by a double click on its free surface), never smaller; the page area takes
// the room. It is the pages' navigation.
class CApplicationDlg : public CTDialog, public INavigation {
    Q_OBJECT

public:
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 680;

    CApplicationDlg(const AppContext& context, const PageFactory& pages, QWidget* parent = nullptr);
    ~CApplicationDlg() override;

    void SetMenuEnabled(bool on) override;
    void SetAutoRefresh(bool on) override;
    void ShowListPage(int pageId, int page) override;
    int CurrentPageId() const override;

    CMenuDlg* Menu() const { return menu_; }
    CChildDlg* Pages() const { return pages_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    QMenu* TrayMenu() const { return trayMenu_; }

    // Hides to the tray when the desktop has one, otherwise minimises.
    void MinimiseToTray();
    void ShowHelpMenu();
    void CloseWindow();
    void ShowFromTray();
    // A click of any kind on the tray icon brings the window back; many trays send no double click.
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void ToggleMaximised();
    void ShowAbout();
    void OpenHelpEntry(const char* urlKey);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The maximise button shows what a click on it does.
    void changeEvent(QEvent* event) override;

private:
    void BuildTitleButtons();
    void LayoutTitle();
    void BuildMenus();
    void BuildTray();

    const AppContext& context_;
    PageContext pageContext_;
    CMenuDlg* menu_ = nullptr;
    std::vector<CTButtonPicture*> titleButtons_;
    CTButtonPicture* maxButton_ = nullptr;
    QWidget* grip_ = nullptr;
    CChildDlg* pages_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QPointer<QSystemTrayIcon> tray_;
};

} // namespace rf
