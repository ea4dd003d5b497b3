#include "rules/ChoiceList.h"

namespace rf {

std::optional<int> ChoiceList::SelectedData() const {
    if (selected < 0 || static_cast<size_t>(selected) >= items.size()) {
        return std::nullopt;
    }
    return items[static_cast<size_t>(selected)].data;
}

int ChoiceList::IndexOf(int data) const {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].data == data) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ChoiceList::SelectData(int data, int fallback) {
    selected = IndexOf(data);
    if (selected < 0) {
        selected = fallback >= 0 && static_cast<size_t>(fallback) < items.size() ? fallback : -1;
    }
}

} // namespace rf
