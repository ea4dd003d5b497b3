#include "pages/RebootDlg.h"

#include "operations/DeviceOperations.h"
#include "shell/PageIds.h"

namespace rf {

namespace {

// Three searches in the last seconds of the wait find the devices as they come back.
constexpr RestartPageSetup kRebootPage{
    kPageReboot, "RebootDlg", &kRebootEntry, "Are you sure you want to restart?", 3, &PlanReboot};

} // namespace

CRebootDlg::CRebootDlg(const PageContext& context, QWidget* parent)
    : CRestartPageDlg(context, kRebootPage, parent) {}

} // namespace rf
