#pragma once

#include "pages/WorkerSlot.h"
#include "protocol/ScanEntry.h"
#include "ui/TDialog.h"

#include <QTimer>
#include <atomic>
#include <string>
#include <vector>

namespace rf {

class CGridCtrl;
class CNetManagement;
class CSqlManagement;
class CTButtonPicture;
class CTPicture;
class CTStatic;
struct Settings;
struct SkinPaths;

// The wizard's first step: the device surveys the air (ScanAps) and the access points it heard are listed,
// strongest first, with a signal picture each. Exactly one row can be ticked; selectionChanged tells the
// wizard whether one is. A scan ends when its last packet has come or after 30 seconds; a scan that got
// no answer says so, a scan whose request could not leave says so at once, and the refresh button scans
// again.
class CBridgeSearchApDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kScanLimitTicks = 30;

    CBridgeSearchApDlg(const Settings& settings, const SkinPaths& skin, CNetManagement& engine,
                       CSqlManagement& store, std::string targetIp, std::string targetMac, QWidget* parent);
    ~CBridgeSearchApDlg() override;

    // Empties the list, disables the wizard's Next and asks the device for a new survey.
    void StartScan();
    // One second of a running scan: it ends at the 30th or once the answer is complete.
    void OnScanTick();
    // Lists the stored access points in the order of a grid column.
    void FillList(bool ascending, int column);
    // A click on the tick box of a row, as the grid reports it (the box has already changed).
    void OnRowTicked(int row);

    // The MAC of the ticked row (empty when none is).
    std::string SelectedMac() const;
    bool Scanning() const { return timer_.isActive(); }
    int ScanTicks() const { return ticks_; }
    const std::vector<ScanEntry>& Shown() const { return shown_; }
    // Lets the request go out (tests).
    void FinishWorkers() { worker_.Wait(); }

    CGridCtrl* Grid() const { return grid_; }
    CTButtonPicture* RefreshButton() const { return refresh_; }
    CTStatic* ScanningLabel() const { return scanning_; }
    CTStatic* NoAnswerLabel() const { return noAnswer_; }

Q_SIGNALS:
    void selectionChanged(bool ticked);

private:
    void BuildGrid(const Settings& settings, const SkinPaths& skin);
    void OnCellClicked(int row, int column);
    // Ends the scan that number scan started, whose request could not leave.
    void OnScanNotSent(int scan);
    // This scan's request left and the device's answer is complete.
    bool Completed() const;
    void EndScan();

    enum class SendState { Sending, Sent, NotSent };

    const Settings& settings_;
    CNetManagement& engine_;
    CSqlManagement& store_;
    std::string targetIp_;
    std::string targetMac_;
    CGridCtrl* grid_ = nullptr;
    CTButtonPicture* refresh_ = nullptr;
    CTPicture* searching_ = nullptr;
    CTStatic* scanning_ = nullptr;
    CTStatic* noAnswer_ = nullptr;
    QTimer timer_;
    int ticks_ = 0;
    int scans_ = 0; // scans started, so that the send result of an earlier one is passed over
    std::atomic<SendState> sent_{SendState::Sending}; // written by the worker
    int sortColumn_ = 5;
    bool ascending_ = false;
    std::vector<ScanEntry> shown_;
    WorkerSlot worker_;
};

} // namespace rf
