#include "pages/RestoreDlg.h"

#include "operations/DeviceOperations.h"
#include "shell/PageIds.h"

namespace rf {

namespace {

// A device back from a factory reset takes longer to answer: five searches in the last seconds of the wait.
// The question says what is lost and how many devices lose it, and Enter does not erase them.
constexpr RestartPageSetup kRestorePage{
    kPageRestore,
    "RestoreDlg",
    &kResetEntry,
    "Reset this device to factory settings? Its settings will be erased.",
    5,
    &PlanReset,
    "Reset %1 devices to factory settings? Their settings will be erased.",
    true};

} // namespace

CRestoreDlg::CRestoreDlg(const PageContext& context, QWidget* parent)
    : CRestartPageDlg(context, kRestorePage, parent) {}

} // namespace rf
