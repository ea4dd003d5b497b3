#pragma once

#include "protocol/AdapterSource.h"

#include <string>

namespace rf {

// The adapter library loaded with dlopen; both exports are resolved on every enumeration.
class NicscanLibrary : public IAdapterSource {
public:
    // Loads libraryPath; when that fails the library is absent and every enumeration is empty.
    explicit NicscanLibrary(const std::string& libraryPath);
    ~NicscanLibrary() override;
    NicscanLibrary(const NicscanLibrary&) = delete;
    NicscanLibrary& operator=(const NicscanLibrary&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    std::vector<AdapterRecord> Enumerate() override;

private:
    void* handle_ = nullptr;
};

} // namespace rf
