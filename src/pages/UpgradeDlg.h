#pragma once

#include "core/OperateSystemInfo.h"
#include "operations/SelectedDevice.h"
#include "pages/DeviceListPage.h"
#include "pages/UpgradeConfigDlg.h"
#include "relayd/ServerReadiness.h"

#include <QPointer>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace rf {

class CFirmwareServerHost;
class CTButtonPicture;

// The firmware upgrade page: the shared device list of stored devices; "Upgrade" takes the ticked ones
// (1 to 10) into the upgrade dialog. While the dialog runs, the Status cells of the ticked rows follow the
// store once a second. When it closes, however it closed, the page searches, reloads its list a second
// later and shows beside its button what became of each device.
class CUpgradeDlg : public CDeviceListPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 1000;

    CUpgradeDlg(const PageContext& context, QWidget* parent);
    ~CUpgradeDlg() override;

    // The action button: collect, check the count, run the dialog, then search and reload.
    void OnAction();
    // The firmware server of another folder than the program's (tests): programDirectory ends in "/" and
    // holds service/Relayd; a launcher and the time the server has to answer as CFirmwareServer and
    // CFirmwareServerHost take them.
    void UseFirmwareServer(const std::string& programDirectory, const std::string& launcher = {},
                           std::chrono::milliseconds answerLimit = CServerReadiness::kAnswerLimit);

    CTButtonPicture* ActionButton() const { return action_; }
    // The upgrade dialog while it is up.
    CUpgradeConfigDlg* Dialog() const { return dialog_; }
    // Starts and ends the firmware server off the interface thread; it outlives every dialog.
    CFirmwareServerHost& ServerHost() const { return *server_; }

protected:
    int SummaryLeft() const override;
    std::vector<RowAction> RowActions(int /*row*/) override {
        return {{kUpgradeEntry.titleKey, "menuUpgrade",
                 [this](int row) { RunForRow(row, [this] { OnAction(); }); }}};
    }

private:
    void BuildControls();
    void RunDialog(std::vector<SelectedDevice> selection);

    COperateSystemInfo system_;
    std::unique_ptr<CFirmwareServerHost> server_;
    CTButtonPicture* action_ = nullptr;
    QPointer<CUpgradeConfigDlg> dialog_;
};

} // namespace rf
