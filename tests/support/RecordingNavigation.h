#pragma once

#include "shell/INavigation.h"

#include <utility>
#include <vector>

namespace rf::test {

// A page's navigation outside a main window: remembers what the page asked for.
class RecordingNavigation : public INavigation {
public:
    void SetMenuEnabled(bool on) override { menuEnabled = on; }
    void SetAutoRefresh(bool on) override { autoRefresh = on; }
    void ShowListPage(int pageId, int page) override { listPages.emplace_back(pageId, page); }
    int CurrentPageId() const override { return currentPage; }

    bool menuEnabled = true;
    bool autoRefresh = true;
    int currentPage = 133;
    std::vector<std::pair<int, int>> listPages;
};

} // namespace rf::test
