#include "TextTable.h"

#include "core/DisplayWidth.h"

#include <algorithm>

namespace rf {

TextTable::TextTable(std::vector<std::string> header) {
    rows_.push_back(std::move(header));
}

void TextTable::AddRow(std::vector<std::string> cells) {
    rows_.push_back(std::move(cells));
}

std::string TextTable::Render() const {
    std::vector<size_t> widths;
    for (const auto& row : rows_) {
        widths.resize(std::max(widths.size(), row.size()));
        for (size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        }
    }
    std::string out;
    for (const auto& row : rows_) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line.append(widths[i] - DisplayWidth(row[i]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + '\n';
    }
    return out;
}

} // namespace rf
