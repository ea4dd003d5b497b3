#pragma once

#include "app/ChildDlg.h"

namespace rf {

struct AppContext;

// The pages of the program, over the engine and store of context.
PageFactory MakePageFactory(const AppContext& context);

// Brings the program up in its fixed order and runs the main window until the user exits.
// Returns the process exit code.
int RunApplication(int argc, char** argv);

} // namespace rf
