#pragma once

#include <string>

namespace rf {

// Directory of the running executable, ending in "/". Computed once and kept for the run.
const std::string& GetExeDirectory();

// Directory part of a path, ending in "/" ("" when the path has no "/").
std::string DirectoryOf(const std::string& path);

} // namespace rf
