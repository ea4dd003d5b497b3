#pragma once

#include "operations/SelectedDevice.h"
#include "operations/UpgradeChecks.h"
#include "operations/UpgradeResult.h"
#include "operations/UpgradeRun.h"
#include "pages/WorkerSlot.h"
#include "ui/TDialog.h"

#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QProgressBar;

namespace rf {

class CFirmwareServerHost;
class CNetManagement;
class CSqlManagement;
class CTButtonPicture;
class CTStatic;
struct Settings;
struct SkinPaths;

// The firmware upgrade of the ticked devices (1 to 10): the user picks a ".bin" file and one of their
// models; Upgrade checks the file, has the server host start the firmware server on its folder and, once
// it answers (Cancel gives the wait up; a password prompt may be open meanwhile), sends the request to
// the devices of that model and shows the transfer
// phase and then the upgrade phase (see UpgradeRun) on its progress bar, one tick a second. Every tick
// hands the status of every ticked device to the page. The dialog closes by itself when the run ends;
// closing it in either phase, or destroying it, asks the host to end the firmware server, which it does
// on its own worker: the dialog closes without waiting for the server's program to leave.
class CUpgradeConfigDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kTickMs = 1000;
    using StatusHandler = std::function<void(const std::string& mac, int32_t status)>;

    CUpgradeConfigDlg(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                      const SkinPaths& skin, CFirmwareServerHost& server,
                      std::vector<SelectedDevice> selected, StatusHandler onStatus,
                      QWidget* parent = nullptr);
    ~CUpgradeConfigDlg() override;

    void OnScan();
    void OnUpgrade();
    // The close button: ends the run and the firmware server.
    void OnClose();
    // Gives up waiting for the firmware server, which is ended; the user may choose again.
    void OnCancel();
    // One second of the run.
    void OnTick();

    // The run's ticks come from this timer; a test may stop it and call OnTick itself.
    QTimer& Timer() { return timer_; }
    // The server is being started (the request has not gone out yet).
    bool ServerStarting() const { return startTicket_ != 0; }
    bool RunStarted() const { return run_ != nullptr; }
    const UpgradeRun* Run() const { return run_.get(); }
    // Every ticked device with its outcome once a run has started; empty otherwise.
    std::vector<UpgradeDeviceResult> Results() const;
    // Lets the batch's worker finish (tests).
    void FinishWorkers();

    QComboBox* TypeBox() const { return type_; }
    QLineEdit* PathField() const { return path_; }
    CTButtonPicture* ScanButton() const { return scan_; }
    CTButtonPicture* UpgradeButton() const { return upgrade_; }
    CTButtonPicture* CloseButton() const { return close_; }
    CTButtonPicture* CancelButton() const { return cancel_; }
    QProgressBar* Progress() const { return progress_; }
    CTStatic* ProgressLabel() const { return progressLabel_; }

private:
    void BuildControls(const SkinPaths& skin);
    void FillTypes();
    // The checks before anything starts; the file to send, or nothing (a message was shown).
    std::optional<UpgradeFile> CheckedFile();
    void StartServer(const UpgradeFile& file);
    void OnServerWaiting(int ticket, int state);
    void OnServerStarted(int ticket, int outcome);
    void ShowChoosing();
    // Asks for the server's end when it runs or is being started.
    void StopServer();
    void BeginRun(const UpgradeFile& file);
    void ShowStatuses();
    void EndRun();

    CNetManagement& engine_;
    CSqlManagement& store_;
    const Settings& settings_;
    CFirmwareServerHost& server_;
    std::vector<SelectedDevice> selected_;
    std::vector<UpgradeType> types_;
    StatusHandler onStatus_;
    QComboBox* type_ = nullptr;
    QLineEdit* path_ = nullptr;
    CTButtonPicture* scan_ = nullptr;
    CTButtonPicture* upgrade_ = nullptr;
    CTButtonPicture* close_ = nullptr;
    CTButtonPicture* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    CTStatic* progressLabel_ = nullptr;
    QTimer timer_;
    std::unique_ptr<UpgradeRun> run_;
    // The start the dialog waits for (0: none), and the file it is for.
    int startTicket_ = 0;
    std::optional<UpgradeFile> startFile_;
    bool serverRuns_ = false;
    // Declared last: destroyed (stopped and joined) before the run it uses.
    WorkerSlot sendWorker_;
};

} // namespace rf
