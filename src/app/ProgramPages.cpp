// The composition root: the only place that knows the pages by name.
#include "app/ProgramPages.h"

#include "app/InstallHelpDlg.h"
#include "operations/SearchCycle.h"
#include "pages/BridgeDlg.h"
#include "pages/ManagementDlg.h"
#include "pages/RebootDlg.h"
#include "pages/RestoreDlg.h"
#include "pages/StatusDlg.h"
#include "pages/SystemToolDlg.h"
#include "pages/UpgradeDlg.h"
#include "shell/PageContext.h"
#include "shell/PageIds.h"

#include <QTimer>

namespace rf {
namespace {

constexpr int kSearchEndMs = (SearchCycle::kLengthSeconds + 1) * 1000;

} // namespace

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
        if (pageId == kPageBridge) {
            return new CBridgeDlg(context, container);
        }
        if (pageId == kPageManagement) {
            return new CManagementDlg(context, container);
        }
        if (pageId == kPageReboot || pageId == kPageRestore) {
            CPage* page = pageId == kPageReboot ? static_cast<CPage*>(new CRebootDlg(context, container))
                                                : new CRestoreDlg(context, container);
            if (search) {
                // These lists do not follow the periodic refresh: they show the search's devices once it
                // ends.
                QTimer::singleShot(kSearchEndMs, page, &CPage::RefreshList);
            }
            return page;
        }
        if (pageId == kPageUpgrade) {
            auto* upgrade = new CUpgradeDlg(context, container);
            if (search) {
                QTimer::singleShot(kSearchEndMs, upgrade, &CPage::RefreshList);
            }
            return upgrade;
        }
        if (pageId == kPageSystemTool) {
            return new CSystemToolDlg(context, container);
        }
        return new CPage(pageId, container);
    };
}

} // namespace rf
