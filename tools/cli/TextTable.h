#pragma once

#include <string>
#include <vector>

namespace rf {

// A table for the terminal: each column as wide as its widest cell in terminal columns (a Chinese
// character takes two), two blanks between columns, no blanks at a line's end. Cells must be printable.
class TextTable {
public:
    explicit TextTable(std::vector<std::string> header);
    void AddRow(std::vector<std::string> cells);
    // The header line and then every row, each ending in a newline.
    std::string Render() const;

private:
    std::vector<std::vector<std::string>> rows_;
};

} // namespace rf
