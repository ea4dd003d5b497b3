#include "app/ApplicationApp.h"

#include "app/AppContext.h"
#include "app/ApplicationDlg.h"
#include "app/InstallHelpDlg.h"
#include "app/MenuDlg.h"
#include "app/PageIds.h"
#include "app/SignalQuit.h"
#include "app/StartupOptions.h"
#include "core/ExeDirectory.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/SingleInstance.h"
#include "pages/StatusDlg.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace rf {

PageFactory MakePageFactory(const AppContext& context) {
    return [&context](int pageId, QWidget* container) -> CPage* {
        if (pageId == kPageInstallHelp) {
            return new CInstallHelpDlg(context.skin, container);
        }
        if (pageId == kPageStatus) {
            return new CStatusDlg(context, container);
        }
        return new CPage(pageId, container);
    };
}

namespace {

void ScheduleScreenshot(CApplicationDlg& window, const StartupOptions& options) {
    QTimer::singleShot(options.screenshotDelayMs, &window, [&window, path = options.screenshotPath] {
        const bool saved = window.grab().save(ToQString(path));
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save", path.c_str());
        window.close();
    });
}

} // namespace

int RunApplication(int argc, char** argv) {
    const StartupOptions options = ParseStartupOptions(std::vector<std::string>(argv, argv + argc));
    if (!options.error.empty() || options.showHelp) {
        std::fprintf(options.showHelp ? stdout : stderr, "%s%s%s", options.error.c_str(),
                     options.error.empty() ? "" : "\n", kUsage);
        return options.showHelp ? 0 : 2;
    }

    const SingleInstance instance("Morva_Brovik");
    if (!instance.IsFirst()) {
        return 0; // another instance runs: end silently
    }
    QApplication app(argc, argv);
    const SignalQuit quitOnSignals;

    const std::string& directory = GetExeDirectory();
    SetLanguageIdOverride(options.languageId);
    LoadLanguage(directory);
    SetGlobalSettings(LoadSettings(directory));
    const Settings& settings = GlobalSettings();
    const SkinPaths skin = BuildSkinPaths(directory, GetLanguageId());

    CNetManagement& engine = GetEngine(); // brings up the store, which makes a fresh data.mdb
    CSqlManagement& store = CSqlManagement::GetInstance();
    if (!store.IsOpen()) {
        MessageBox::warning(nullptr, ToQString(Translate("Failed to open database, unable to get data.")));
    }
    engine.Start(settings.retransmissionMax, settings.retransmissionInterval);

    const AppContext context{engine, store, settings, skin};
    int result = 0;
    {
        CApplicationDlg window(context, MakePageFactory(context));
        if (options.pageId != 0) {
            window.Menu()->SelectPage(options.pageId);
        }
        window.show();
        if (auto* status = qobject_cast<CStatusDlg*>(window.Pages()->Page(kPageStatus));
            status && options.search) {
            QTimer::singleShot(0, status, &CStatusDlg::OnSearchClicked);
        }
        if (!options.screenshotPath.empty()) {
            ScheduleScreenshot(window, options);
        }
        result = app.exec();
    }
    engine.Stop(); // Leave goes to every online device; the store removes data.mdb at exit
    return result;
}

} // namespace rf
