#pragma once

#include "pages/RestartPageDlg.h"

namespace rf {

// The restore page: returns the ticked devices to their factory settings.
class CRestoreDlg : public CRestartPageDlg {
    Q_OBJECT

public:
    CRestoreDlg(const PageContext& context, QWidget* parent);
};

} // namespace rf
