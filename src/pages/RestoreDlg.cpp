#include "pages/RestoreDlg.h"

#include "operations/DeviceOperations.h"
#include "shell/PageIds.h"

namespace rf {

namespace {

// A device back from a factory reset takes longer to answer: five searches in the last seconds of the wait.
constexpr RestartPageSetup kRestorePage{
    kPageRestore, "RestoreDlg", "Restore", "Are you sure you want to reset?", 5, &PlanReset};

} // namespace

CRestoreDlg::CRestoreDlg(const PageContext& context, QWidget* parent)
    : CRestartPageDlg(context, kRestorePage, parent) {}

} // namespace rf
