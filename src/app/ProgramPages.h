#pragma once

#include "app/StartupOptions.h"
#include "shell/PageFactory.h"

namespace rf {

// Every page of the program. With --search the status page starts a search once the window shows.
PageFactory MakeProgramPages(const StartupOptions& options);

} // namespace rf
