#pragma once

#include "app/ChildDlg.h"
#include "ui/TDialog.h"

#include <QPointer>
#include <QSystemTrayIcon>

class QMenu;

namespace rf {

class CMenuDlg;
class CTButtonPicture;
struct AppContext;

// The main window: borderless and skinned, dragged by any free spot, with the navigation column, the page
// area, three title buttons, a help menu and a tray icon.
class CApplicationDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 680;

    CApplicationDlg(const AppContext& context, const PageFactory& pages, QWidget* parent = nullptr);
    ~CApplicationDlg() override;

    CMenuDlg* Menu() const { return menu_; }
    CChildDlg* Pages() const { return pages_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    QMenu* TrayMenu() const { return trayMenu_; }

    // Hides to the tray when the desktop has one, otherwise minimises.
    void MinimiseToTray();
    void ShowHelpMenu();
    void CloseWindow();
    void ShowFromTray();
    void ShowAbout();
    void OpenHelpEntry(const char* urlKey);

private:
    void BuildTitleButtons();
    void BuildMenus();
    void BuildTray();

    const AppContext& context_;
    CMenuDlg* menu_ = nullptr;
    CChildDlg* pages_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QPointer<QSystemTrayIcon> tray_;
};

} // namespace rf
