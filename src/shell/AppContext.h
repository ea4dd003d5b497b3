#pragma once

#include "core/Settings.h"
#include "ui/SkinPaths.h"

namespace rf {

class CNetManagement;
class CSqlManagement;

// What the windows of the program work with, made once at start-up and handed to them by reference.
struct AppContext {
    CNetManagement& engine;
    CSqlManagement& store;
    const Settings& settings;
    const SkinPaths& skin;
};

} // namespace rf
