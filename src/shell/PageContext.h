#pragma once

#include "shell/AppContext.h"
#include "shell/INavigation.h"

namespace rf {

// What a page is given when it is made: the program's engine, store, settings and skin, and the window's
// navigation.
struct PageContext {
    CNetManagement& engine;
    CSqlManagement& store;
    const Settings& settings;
    const SkinPaths& skin;
    INavigation& navigation;

    static PageContext Of(const AppContext& app, INavigation& navigation) {
        return {app.engine, app.store, app.settings, app.skin, navigation};
    }
};

} // namespace rf
