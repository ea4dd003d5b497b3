#include "app/ApplicationApp.h"

#include "app/AppLook.h"
#include "app/ApplicationDlg.h"
#include "app/MenuDlg.h"
#include "app/SignalQuit.h"
#include "app/ViewKeeper.h"
#include "core/ExeDirectory.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/SingleInstance.h"
#include "core/Version.h"
#include "core/ViewFile.h"
#include "protocol/NetManagement.h"
#include "shell/AppContext.h"
#include "store/SqlManagement.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace rf {

namespace {

void ScheduleScreenshot(CApplicationDlg& window, const StartupOptions& options) {
    QTimer::singleShot(options.screenshotDelayMs, &window, [&window, path = options.screenshotPath] {
        const bool saved = window.grab().save(ToQString(path));
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save", path.c_str());
        window.close();
    });
}

} // namespace

bool StartEngine(CNetManagement& engine, const Settings& settings, QWidget* parent) {
    if (engine.Start(settings.retransmissionMax, settings.retransmissionInterval)) {
        return true;
    }
    MessageBox::warning(parent, TranslateText("UDP ports 9785-9788 are in use by another program."));
    return false;
}

int RunApplication(int argc, char** argv, const PagesMaker& pages) {
    const StartupOptions options = ParseStartupOptions(std::vector<std::string>(argv, argv + argc));
    if (options.error.empty() && options.showVersion) {
        std::printf("radiofleet %s\n", kVersionText);
        return 0;
    }
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
    CViewKeeper view(ViewFilePath());
    SetLanguageIdOverride(view.LanguageId(options.languageId));
    LoadLanguage(directory);
    ApplyApplicationLook(app, GetLanguageId());
    const Settings settings = LoadSettings(directory);
    const SkinPaths skin = BuildSkinPaths(directory, GetLanguageId());

    CNetManagement& engine = GetEngine(); // brings up the store, which makes a fresh data.mdb
    CSqlManagement& store = CSqlManagement::GetInstance();
    if (!store.IsOpen()) {
        MessageBox::warning(nullptr, ToQString(Translate("Failed to open database, unable to get data.")));
    }
    StartEngine(engine, settings, nullptr);

    const AppContext context{engine, store, settings, skin};
    int result = 0;
    {
        CApplicationDlg window(context, pages(options));
        view.Attach(window);
        if (options.pageId != 0) {
            window.Menu()->SelectPage(options.pageId);
        }
        view.Show(options.maximised);
        if (!options.screenshotPath.empty()) {
            ScheduleScreenshot(window, options);
        }
        result = app.exec();
        view.Save();
    }
    engine.Stop(); // Leave goes to every online device; the store removes data.mdb at exit
    return result;
}

} // namespace rf
