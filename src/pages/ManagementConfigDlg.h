#pragma once

#include "operations/ConfigForms.h"
#include "protocol/ApInfo.h"
#include "ui/TDialog.h"

#include <array>

namespace rf {

class CIPSetDlg;
class CSqlManagement;
class CTButtonPicture;
class CTimeRebootDlg;
class CVlanDlg;
class CWirelessSetDlg;
struct Settings;
struct SkinPaths;

// The configuration dialog of one device: four tabs made once (wireless, IP, VLAN, scheduled reboot) over
// the device's stored record. Save collects the tabs in that order and stops at the first refusal, which
// it shows, keeping every tab's input; otherwise it closes as accepted with the blocks that changed
// (none when nothing did). The management page sends them.
class CManagementConfigDlg : public CTDialog {
    Q_OBJECT

public:
    enum Tab { kWirelessTab, kIpTab, kVlanTab, kScheduleTab, kTabCount };

    CManagementConfigDlg(const Settings& settings, const SkinPaths& skin, CSqlManagement& store,
                         const ap_info_stu& record, QWidget* parent = nullptr);

    void ShowTab(int tab);
    void OnSave();

    // What every tab shows now.
    ConfigForms Forms() const;
    // The blocks an accepted Save collected.
    const ConfigChanges& Changes() const { return changes_; }

    int VisibleTab() const { return visibleTab_; }
    CTButtonPicture* TabButton(int tab) const { return tabButtons_[static_cast<size_t>(tab)]; }
    CTButtonPicture* SaveButton() const { return save_; }
    CTButtonPicture* CancelButton() const { return cancel_; }
    CWirelessSetDlg* WirelessTab() const { return wireless_; }
    CIPSetDlg* IpTab() const { return ip_; }
    CVlanDlg* VlanTab() const { return vlan_; }
    CTimeRebootDlg* ScheduleTab() const { return schedule_; }

private:
    void BuildTabs(const Settings& settings, const SkinPaths& skin);
    void BuildButtons(const Settings& settings, const SkinPaths& skin);
    QWidget* Panel(int tab) const;

    CSqlManagement& store_;
    ap_info_stu record_;
    ConfigForms opening_;
    ConfigChanges changes_;
    std::array<CTButtonPicture*, kTabCount> tabButtons_{};
    CWirelessSetDlg* wireless_ = nullptr;
    CIPSetDlg* ip_ = nullptr;
    CVlanDlg* vlan_ = nullptr;
    CTimeRebootDlg* schedule_ = nullptr;
    CTButtonPicture* save_ = nullptr;
    CTButtonPicture* cancel_ = nullptr;
    int visibleTab_ = kWirelessTab;
};

} // namespace rf
