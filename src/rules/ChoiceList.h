#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rf {

// One entry of a drop-down list: its text and the value it stands for. Texts marked translate are
// language keys ("Auto"); the others are shown as they are.
struct ChoiceItem {
    std::string text;
    int data = 0;
    bool translate = false;

    friend bool operator==(const ChoiceItem&, const ChoiceItem&) = default;
};

// A drop-down list as the tabs fill it: its entries, which one is selected (-1: none) and whether the
// user may change it.
struct ChoiceList {
    std::vector<ChoiceItem> items;
    int selected = -1;
    bool enabled = true;

    std::optional<int> SelectedData() const;
    // The first entry whose value is data, else -1.
    int IndexOf(int data) const;
    // Selects the first entry whose value is data; when none is, the entry at fallback (if it exists).
    void SelectData(int data, int fallback);

    friend bool operator==(const ChoiceList&, const ChoiceList&) = default;
};

} // namespace rf
