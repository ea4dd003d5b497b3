#pragma once

#include "pages/RestartPageDlg.h"

namespace rf {

// The reboot page: restarts the ticked devices.
class CRebootDlg : public CRestartPageDlg {
    Q_OBJECT

public:
    CRebootDlg(const PageContext& context, QWidget* parent);
};

} // namespace rf
