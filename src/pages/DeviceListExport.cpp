#include "pages/DeviceListExport.h"

#include "core/ExportText.h"
#include "protocol/DeviceFieldNames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace rf {
namespace {

bool EndsWithNoCase(const std::string& text, std::string_view end) {
    if (text.size() < end.size()) {
        return false;
    }
    return std::equal(
        end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

std::string_view FieldName(DeviceField field) {
    switch (field) {
    case kFieldSerial:
        return kFieldNameSerial;
    case kFieldLocation:
        return kFieldNameName;
    case kFieldType:
        return kFieldNameModel;
    case kFieldIp:
        return kFieldNameIp;
    case kFieldMac:
        return kFieldNameMac;
    case kFieldMode:
        return kFieldNameWorkMode;
    case kFieldSsid:
        return kFieldNameSsid;
    case kFieldChannel:
        return kFieldNameChannel;
    case kFieldVersion:
        return kFieldNameVersion;
    case kFieldBridge:
        return kFieldNameBridgeTransparent;
    case kFieldTime:
        return kFieldNameUptime;
    case kFieldSecureMode:
        return kFieldNameSecureMode;
    case kFieldPower:
        return kFieldNameTxPower;
    case kFieldStatus:
        return kFieldNameStatus;
    case kFieldTick:
    case kFieldOperate:
    case kDeviceFieldCount:
        break;
    }
    return {};
}

} // namespace

ExportFormat ExportFormatOf(const std::string& fileName, ExportFormat chosen) {
    if (EndsWithNoCase(fileName, ".json")) {
        return ExportFormat::Json;
    }
    if (EndsWithNoCase(fileName, ".csv")) {
        return ExportFormat::Csv;
    }
    return chosen;
}

std::string ExportFileName(const std::string& fileName, ExportFormat format) {
    if (EndsWithNoCase(fileName, ".json") || EndsWithNoCase(fileName, ".csv")) {
        return fileName;
    }
    return fileName + (format == ExportFormat::Json ? ".json" : ".csv");
}

std::vector<DeviceField> ExportFields(const DeviceListLayout& layout) {
    std::vector<DeviceField> fields;
    for (const ListColumn& column : layout.columns) {
        if (!FieldName(column.field).empty()) {
            fields.push_back(column.field);
        }
    }
    if (std::find(fields.begin(), fields.end(), kFieldMac) == fields.end()) {
        fields.push_back(kFieldMac);
    }
    return fields;
}

std::vector<std::string> ExportFieldNames(const std::vector<DeviceField>& fields) {
    std::vector<std::string> names;
    names.reserve(fields.size());
    for (const DeviceField field : fields) {
        names.emplace_back(FieldName(field));
    }
    return names;
}

std::string ExportDocument(const DeviceListLayout& layout, const std::vector<DeviceRow>& rows,
                           ExportFormat format) {
    const std::vector<DeviceField> fields = ExportFields(layout);
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    for (const DeviceRow& row : rows) {
        std::vector<std::string>& values = cells.emplace_back();
        for (const DeviceField field : fields) {
            values.push_back(row.texts[field]);
        }
    }
    const std::vector<std::string> names = ExportFieldNames(fields);
    return format == ExportFormat::Json ? JsonTable(names, cells) : CsvTable(names, cells);
}

bool WriteExportFile(const std::string& fileName, const std::string& document, std::string& error) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (file) {
        file.write(document.data(), static_cast<std::streamsize>(document.size()));
        file.close();
    }
    if (!file) {
        error = std::generic_category().message(errno);
        return false;
    }
    return true;
}

} // namespace rf
