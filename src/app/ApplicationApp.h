#pragma once

#include "app/StartupOptions.h"
#include "shell/PageFactory.h"

#include <functional>

class QWidget;

namespace rf {

class CNetManagement;
struct Settings;

// The pages of the program, made for what the command line asks.
using PagesMaker = std::function<PageFactory(const StartupOptions& options)>;

// Starts the engine with the retransmission settings. When it cannot start (another program holds its UDP
// ports), one message names the ports; the program then runs on without an engine.
bool StartEngine(CNetManagement& engine, const Settings& settings, QWidget* parent);

// Brings the program up in its fixed order and runs the main window until the user exits.
// Returns the process exit code.
int RunApplication(int argc, char** argv, const PagesMaker& pages);

} // namespace rf
