#pragma once

#include "pages/DeviceListLayout.h"
#include "pages/DeviceRows.h"

#include <string>
#include <vector>

namespace rf {

// A device list written to a file: the list's columns that carry text, and the MAC when the list does not
// show it, headed by the field names the command-line tool uses; the values as the list shows them.

enum class ExportFormat { Csv, Json };

// The format for a file name: its extension decides (.json or .csv, any case); without either, what the
// file dialog's filter chose.
ExportFormat ExportFormatOf(const std::string& fileName, ExportFormat chosen);
// The file name with the format's extension added when it has neither.
std::string ExportFileName(const std::string& fileName, ExportFormat format);

// The exported fields of a list, in its column order.
std::vector<DeviceField> ExportFields(const DeviceListLayout& layout);
std::vector<std::string> ExportFieldNames(const std::vector<DeviceField>& fields);
std::string ExportDocument(const DeviceListLayout& layout, const std::vector<DeviceRow>& rows,
                           ExportFormat format);
// Writes the document to the file; false with the system's reason when it cannot.
bool WriteExportFile(const std::string& fileName, const std::string& document, std::string& error);

} // namespace rf
