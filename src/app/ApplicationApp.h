#pragma once

namespace rf {

// Brings the program up in its fixed order and runs the main window until the user exits.
// Returns the process exit code.
int RunApplication(int argc, char** argv);

} // namespace rf
