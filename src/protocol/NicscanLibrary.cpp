#include "protocol/NicscanLibrary.h"

#include <cstring>
#include <dlfcn.h>

namespace rf {

NicscanLibrary::NicscanLibrary(const std::string& libraryPath)
    : handle_(::dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

NicscanLibrary::~NicscanLibrary() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

std::vector<AdapterRecord> NicscanLibrary::Enumerate() {
    std::vector<AdapterRecord> nodes;
    if (handle_ == nullptr) {
        return nodes;
    }
    auto get = reinterpret_cast<GetNicscanInfoFunction>(::dlsym(handle_, kGetNicscanInfoName));
    auto clear = reinterpret_cast<ClearNicscanInfoFunction>(::dlsym(handle_, kClearNicscanInfoName));
    if (get != nullptr) {
        for (const AdapterRecord* node = get(); node != nullptr; node = NextAdapterRecord(node)) {
            AdapterRecord copy;
            std::memcpy(&copy, node, sizeof copy);
            nodes.push_back(copy);
        }
    }
    if (clear != nullptr) {
        clear();
    }
    return nodes;
}

} // namespace rf
