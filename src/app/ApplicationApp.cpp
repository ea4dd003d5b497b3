#include "app/ApplicationApp.h"

#include "app/ApplicationDlg.h"
#include "app/StartupOptions.h"
#include "core/ExeDirectory.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/SingleInstance.h"

#include <QApplication>
#include <cstdio>

namespace rf {

int RunApplication(int argc, char** argv) {
    const StartupOptions options = ParseStartupOptions(std::vector<std::string>(argv, argv + argc));
    if (!options.error.empty() || options.showHelp) {
        std::fprintf(options.showHelp ? stdout : stderr, "%s%sUsage: radiofleet [--language ID]\n",
                     options.error.c_str(), options.error.empty() ? "" : "\n");
        return options.showHelp ? 0 : 2;
    }

    const SingleInstance instance("Morva_Brovik");
    if (!instance.IsFirst()) {
        return 0; // another instance runs: end silently
    }

    const std::string& directory = GetExeDirectory();
    SetLanguageIdOverride(options.languageId);
    LoadLanguage(directory);
    SetGlobalSettings(LoadSettings(directory));

    QApplication app(argc, argv);
    CApplicationDlg window;
    window.show();
    return app.exec();
}

} // namespace rf
