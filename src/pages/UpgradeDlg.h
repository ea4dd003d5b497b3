#pragma once

#include "core/OperateSystemInfo.h"
#include "operations/SelectedDevice.h"
#include "pages/UpgradeConfigDlg.h"
#include "shell/Page.h"
#include "shell/PageContext.h"

#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

namespace rf {

class CDeviceList;
class CFirmwareServerHost;
class CTButtonPicture;
class CTStatic;

// The firmware upgrade page: the shared device list of stored devices; "Upgrade" takes the ticked ones
// (1 to 10) into the upgrade dialog. While the dialog runs, the Status cells of the ticked rows follow the
// store once a second. When it closes, however it closed, the page searches, reloads its list a second
// later and shows beside its button what became of each device.
class CUpgradeDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 1000;

    CUpgradeDlg(const PageContext& context, QWidget* parent);
    ~CUpgradeDlg() override;

    void RefreshList() override;
    void ShowListPage(int page) override;

    // The action button: collect, check the count, run the dialog, then search and reload.
    void OnAction();
    // The firmware server of another folder than the program's (tests): programDirectory ends in "/" and
    // holds service/Relayd.
    void UseFirmwareServer(const std::string& programDirectory);

    CDeviceList& List() const { return *list_; }
    CTButtonPicture* ActionButton() const { return action_; }
    CTStatic* Summary() const { return summary_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    // The upgrade dialog while it is up.
    CUpgradeConfigDlg* Dialog() const { return dialog_; }
    // Starts and ends the firmware server off the interface thread; it outlives every dialog.
    CFirmwareServerHost& ServerHost() const { return *server_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void RunDialog(std::vector<SelectedDevice> selection);

    PageContext context_;
    COperateSystemInfo system_;
    std::unique_ptr<CFirmwareServerHost> server_;
    CDeviceList* list_ = nullptr;
    CTButtonPicture* action_ = nullptr;
    CTStatic* summary_ = nullptr;
    QWidget* separator_ = nullptr;
    QTimer reloadTimer_;
    QPointer<CUpgradeConfigDlg> dialog_;
};

} // namespace rf
