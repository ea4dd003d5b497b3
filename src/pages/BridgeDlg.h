#pragma once

#include "operations/DeviceOutcome.h"
#include "pages/WorkerSlot.h"
#include "shell/Page.h"
#include "shell/PageContext.h"

#include <QPointer>
#include <QTimer>
#include <string>

namespace rf {

class CBridgeConfigDlg;
class CDeviceList;
class CTStatic;
class DeviceInfo;

// The bridge page: the stored devices with a bridge button per row. The button opens the bridge wizard
// for that device, unless its mode switch stands at the access-point position; the wizard's Save sends one
// SetBridge on the page's send worker. The list reloads two seconds after the wizard closes, whichever way
// it closed, and shows the device's answer as its status ("Bridge success" or "Bridge fail").
class CBridgeDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 2000;

    CBridgeDlg(const PageContext& context, QWidget* parent);
    ~CBridgeDlg() override;

    void RefreshList() override;
    void ShowListPage(int page) override;

    // The bridge button of a grid row.
    void OpenWizard(int row);

    CDeviceList& List() const { return *list_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    CTStatic* SendSummary() const { return summary_; }
    // The wizard while it is up.
    CBridgeConfigDlg* Wizard() const;
    bool Sending() const { return worker_.Running(); }
    void FinishWorkers() { worker_.Wait(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnDeviceClicked(int row, int column);
    void StartSend(const std::string& ip, const std::string& mac, int model, const DeviceInfo& settings);
    void OnSendFinished(const BatchResult& result);

    PageContext context_;
    CDeviceList* list_ = nullptr;
    CTStatic* summary_ = nullptr;
    QWidget* separator_ = nullptr;
    QTimer reloadTimer_;
    QPointer<CBridgeConfigDlg> wizard_;
    WorkerSlot worker_;
};

} // namespace rf
