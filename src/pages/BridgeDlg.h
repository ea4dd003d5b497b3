#pragma once

#include "operations/CheckResult.h"
#include "operations/DeviceOutcome.h"
#include "pages/DeviceListPage.h"

#include <QPointer>
#include <string>

namespace rf {

class CBridgeConfigDlg;
class DeviceInfo;

// The bridge page: the stored devices with a bridge button per row. The button opens the bridge wizard
// for that device, unless its mode switch stands at the access-point position; the wizard's Save sends one
// SetBridge on the page's send worker. The list reloads two seconds after the wizard closes, whichever way
// it closed, and shows the device's answer as its status ("Bridge success" or "Bridge fail").
class CBridgeDlg : public CDeviceListPage {
    Q_OBJECT

public:
    static constexpr int kReloadDelayMs = 2000;

    CBridgeDlg(const PageContext& context, QWidget* parent);

    // The bridge button of a grid row.
    void OpenWizard(int row);

    // The wizard while it is up.
    CBridgeConfigDlg* Wizard() const;

protected:
    void OnOperate(int row) override { OpenWizard(row); }
    std::vector<RowAction> RowActions(int /*row*/) override {
        return {{kJoinEntry.titleKey, "menuBridgeWizard", [this](int row) { OpenWizard(row); }}};
    }

private:
    void StartSend(const CheckResult& check);
    void OnSendFinished(const BatchPlan& plan, const BatchResult& result);

    QPointer<CBridgeConfigDlg> wizard_;
};

} // namespace rf
