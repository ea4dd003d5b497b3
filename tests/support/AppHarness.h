#pragma once

#include "core/Language.h"
#include "core/Settings.h"
#include "shell/AppContext.h"
#include "shell/Page.h"
#include "shell/PageContext.h"
#include "support/EngineHarness.h"
#include "support/RecordingNavigation.h"
#include "ui/SkinPaths.h"

namespace rf::test {

// What the windows need, over an engine that sends into a recorder and a store of its own; texts,
// settings and skin from the build's bundle.
struct AppHarness {
    AppHarness() {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    }

    EngineHarness engine;
    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    AppContext context{engine.engine, engine.store, GlobalSettings(), skin};
    // For a page made outside a main window.
    RecordingNavigation navigation;
    PageContext pageContext = PageContext::Of(context, navigation);
};

// A page that counts what the container asks of it.
class CountingPage : public CPage {
public:
    using CPage::CPage;
    void RefreshList() override { ++refreshes; }
    void ShowListPage(int page) override { shownPage = page; }

    int refreshes = 0;
    int shownPage = 0;
};

} // namespace rf::test
