#include "nicscan/Nicscan.h"
#include "nicscan/InterfaceScan.h"

#include <list>
#include <mutex>
#include <vector>

namespace rf {
namespace {

std::mutex listsLock;
// Every list handed out and not yet released; a caller may ask twice before it clears.
std::list<std::vector<AdapterRecord>> lists;

void Link(std::vector<AdapterRecord>& nodes) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].next = i + 1 < nodes.size() ? static_cast<uint32_t>(sizeof(AdapterRecord)) : 0;
    }
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) AdapterRecord* GetNicscanInfo() {
    std::vector<AdapterRecord> nodes = ScanInterfaces();
    if (nodes.empty()) {
        return nullptr;
    }
    Link(nodes);
    const std::scoped_lock lock(listsLock);
    lists.push_back(std::move(nodes));
    return lists.back().data();
}

__attribute__((visibility("default"))) void ClearNicscanInfo() {
    const std::scoped_lock lock(listsLock);
    lists.clear();
}

} // extern "C"

} // namespace rf
