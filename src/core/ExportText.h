#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rf {

// Texts written for other programs to read: JSON strings and CSV fields (RFC 4180), always UTF-8.

// A JSON string on one line: control characters escaped, bytes that are not UTF-8 become U+FFFD.
std::string JsonText(std::string_view text);
// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or a line break; bytes that are
// not UTF-8 become U+FFFD.
std::string CsvText(std::string_view text);
// The text with every control character and every byte that is not UTF-8 replaced by '?'.
std::string PrintableText(std::string_view text);
// One CSV record of fields, ending in CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

// A whole table: its field names as the header, then one record per row.
std::string CsvTable(const std::vector<std::string>& names,
                     const std::vector<std::vector<std::string>>& rows);
// A whole table as a JSON array of objects, one per row and line, every value a string.
std::string JsonTable(const std::vector<std::string>& names,
                      const std::vector<std::vector<std::string>>& rows);

} // namespace rf
