// Loads the adapter library the way the program does (dlopen by path, exports by name) and prints every
// node of its list, one line each: usable|mac|description|name|count|ip/mask,ip/mask,...
// It asks twice before releasing, so a leak checker sees whether the release frees every list.
#include "nicscan/Nicscan.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>

namespace {

void Print(const rf::AdapterRecord* node) {
    std::printf("%u|", node->usable);
    for (int i = 0; i < 6; ++i) {
        std::printf(i == 0 ? "%02x" : ":%02x", node->hardwareAddress[i]);
    }
    std::printf("|%s|%s|%u|", node->description, node->name, node->count);
    for (uint32_t i = 0; i < node->count && i < rf::kNicscanMaxAddresses; ++i) {
        std::printf(i == 0 ? "%s/%s" : ",%s/%s", node->addresses[i].ip, node->addresses[i].mask);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s path/to/libnicscan.so\n", argv[0]);
        return 2;
    }
    void* library = ::dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "dlopen: %s\n", ::dlerror());
        return 3;
    }
    auto get = reinterpret_cast<rf::GetNicscanInfoFunction>(::dlsym(library, rf::kGetNicscanInfoName));
    auto clear = reinterpret_cast<rf::ClearNicscanInfoFunction>(::dlsym(library, rf::kClearNicscanInfoName));
    if (get == nullptr || clear == nullptr) {
        std::fprintf(stderr, "exports missing\n");
        return 4;
    }
    for (const rf::AdapterRecord* node = get(); node != nullptr; node = rf::NextAdapterRecord(node)) {
        Print(node);
    }
    const rf::AdapterRecord* second = get();
    const rf::AdapterRecord* third = get();
    const bool consistent = (second == nullptr) == (third == nullptr);
    clear();
    clear();
    ::dlclose(library);
    return consistent ? 0 : 5;
}
