// The composition root: the only place that knows the pages by name.
#include "app/ProgramPages.h"

#include "app/InstallHelpDlg.h"
#include "pages/RebootDlg.h"
#include "pages/RestoreDlg.h"
#include "pages/StatusDlg.h"
#include "pages/SystemToolDlg.h"
#include "pages/UpgradeDlg.h"
#include "shell/PageContext.h"
#include "shell/PageIds.h"

#include <QTimer>

namespace rf {

PageFactory MakeProgramPages(const StartupOptions& options) {
    return [search = options.search](int pageId, const PageContext& context, QWidget* container) -> CPage* {
        if (pageId == kPageInstallHelp) {
            return new CInstallHelpDlg(context, container);
        }
        if (pageId == kPageStatus) {
            auto* status = new CStatusDlg(context, container);
            if (search) {
                QTimer::singleShot(0, status, &CStatusDlg::OnSearchClicked);
            }
            return status;
        }
        if (pageId == kPageReboot) {
            return new CRebootDlg(context, container);
        }
        if (pageId == kPageUpgrade) {
            return new CUpgradeDlg(context, container);
        }
        if (pageId == kPageRestore) {
            return new CRestoreDlg(context, container);
        }
        if (pageId == kPageSystemTool) {
            return new CSystemToolDlg(context, container);
        }
        return new CPage(pageId, container);
    };
}

} // namespace rf
