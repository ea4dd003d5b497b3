#pragma once

#include "protocol/ApInfo.h"
#include "ui/TDialog.h"

#include <array>
#include <string>

namespace rf {

class CBridgeFinishDlg;
class CBridgeIPSetDlg;
class CBridgeSearchApDlg;
class CBridgeSecureDlg;
class CNetManagement;
class CSqlManagement;
class CTButtonPicture;
struct Settings;
struct SkinPaths;

// The bridge wizard ("Device bridge") for one device: scan, security, IP settings, closing page, with Back,
// Next (Save on the last step) and a close button. Save closes it as accepted with the settings to send
// (the device's record with the bridge block and the IP block written over it); the close button sends
// nothing. Either way the scanned access points are forgotten.
class CBridgeConfigDlg : public CTDialog {
    Q_OBJECT

public:
    enum Step { kScanStep, kSecurityStep, kIpStep, kFinishStep, kStepCount };

    CBridgeConfigDlg(const Settings& settings, const SkinPaths& skin, CNetManagement& engine,
                     CSqlManagement& store, const ap_info_stu& record, QWidget* parent = nullptr);

    void OnNext();
    void OnBack();
    void OnClose();

    int CurrentStep() const { return step_; }
    // What Save hands to the page: the device's details with the bridge and IP blocks to send.
    const DeviceInfo& BridgeSettings() const { return settings_; }
    const ap_info_stu& Record() const { return record_; }

    CBridgeSearchApDlg* ScanStep() const { return scan_; }
    CBridgeSecureDlg* SecurityStep() const { return secure_; }
    CBridgeIPSetDlg* IpStep() const { return ip_; }
    CBridgeFinishDlg* FinishStep() const { return finish_; }
    CTButtonPicture* NextButton() const { return next_; }
    CTButtonPicture* BackButton() const { return back_; }
    CTButtonPicture* CloseButton() const { return close_; }

private:
    void BuildButtons(const Settings& settings, const SkinPaths& skin);
    void Show(int step);

    CSqlManagement& store_;
    ap_info_stu record_;
    DeviceInfo settings_;
    int step_ = kScanStep;
    CBridgeSearchApDlg* scan_ = nullptr;
    CBridgeSecureDlg* secure_ = nullptr;
    CBridgeIPSetDlg* ip_ = nullptr;
    CBridgeFinishDlg* finish_ = nullptr;
    CTButtonPicture* next_ = nullptr;
    CTButtonPicture* back_ = nullptr;
    CTButtonPicture* close_ = nullptr;
};

} // namespace rf
