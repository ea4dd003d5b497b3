#include "pages/DeviceListLayout.h"

#include "shell/PageIds.h"

#include <cstddef>
#include <functional>

namespace rf {
namespace {

constexpr bool kSorts = true;
constexpr bool kFixed = false;
constexpr bool kClicks = true;
constexpr bool kInert = false;

const DeviceListLayout kStatusLayout{{
                                         {kFieldTick, "", 20, kFixed, kClicks},
                                         {kFieldSerial, "Serial", 40, kFixed, kInert},
                                         {kFieldLocation, "Location", 90, kSorts, kClicks},
                                         {kFieldType, "Type", 50, kSorts, kInert},
                                         {kFieldIp, "IP", 102, kSorts, kInert},
                                         {kFieldMac, "MAC", 112, kSorts, kInert},
                                         {kFieldMode, "OperationMode", 66, kSorts, kInert},
                                         {kFieldSsid, "SSID", 100, kSorts, kInert},
                                         {kFieldChannel, "Channel", 60, kSorts, kInert},
                                         {kFieldVersion, "Version", 60, kSorts, kInert},
                                         {kFieldBridge, "Transparent bridge", 120, kSorts, kInert},
                                         {kFieldTime, "Time", 70, kSorts, kInert},
                                         {kFieldOperate, "Operate", 60, kFixed, kClicks},
                                     },
                                     true,
                                     &SkinPaths::webButton};

const DeviceListLayout kManagementLayout{{
                                             {kFieldSerial, "Serial", 60, kFixed, kInert},
                                             {kFieldLocation, "Location", 100, kSorts, kInert},
                                             {kFieldType, "Type", 60, kSorts, kInert},
                                             {kFieldIp, "IP", 122, kSorts, kInert},
                                             {kFieldMac, "MAC", 122, kSorts, kInert},
                                             {kFieldMode, "OperationMode", 76, kSorts, kInert},
                                             {kFieldSsid, "SSID", 120, kSorts, kInert},
                                             {kFieldChannel, "Channel", 70, kSorts, kInert},
                                             {kFieldSecureMode, "SecureMode", 80, kSorts, kInert},
                                             {kFieldPower, "Power", 70, kSorts, kInert},
                                             {kFieldOperate, "Operate column", 70, kFixed, kClicks},
                                         },
                                         false,
                                         &SkinPaths::write};

const DeviceListLayout kBridgeLayout{{
                                         {kFieldSerial, "Serial", 60, kFixed, kInert},
                                         {kFieldLocation, "Location", 100, kSorts, kInert},
                                         {kFieldType, "Type", 60, kSorts, kInert},
                                         {kFieldIp, "IP", 122, kSorts, kInert},
                                         {kFieldMac, "MAC", 122, kSorts, kInert},
                                         {kFieldMode, "OperationMode", 76, kSorts, kInert},
                                         {kFieldSsid, "SSID", 120, kSorts, kInert},
                                         {kFieldChannel, "Channel", 70, kSorts, kInert},
                                         {kFieldSecureMode, "SecureMode", 80, kSorts, kInert},
                                         {kFieldStatus, "Status", 70, kSorts, kInert},
                                         {kFieldOperate, "Operate column", 70, kFixed, kClicks},
                                     },
                                     false,
                                     &SkinPaths::bridgeButton};

const DeviceListLayout kRebootLayout{{
                                         {kFieldTick, "", 30, kFixed, kClicks},
                                         {kFieldSerial, "Serial", 60, kFixed, kInert},
                                         {kFieldLocation, "Location", 100, kSorts, kInert},
                                         {kFieldType, "Type", 60, kSorts, kInert},
                                         {kFieldIp, "IP", 122, kSorts, kInert},
                                         {kFieldMac, "MAC", 122, kSorts, kInert},
                                         {kFieldMode, "OperationMode", 86, kSorts, kInert},
                                         {kFieldSsid, "SSID", 130, kSorts, kInert},
                                         {kFieldChannel, "Channel", 70, kSorts, kInert},
                                         {kFieldSecureMode, "SecureMode", 90, kSorts, kInert},
                                         {kFieldStatus, "Status", 80, kFixed, kInert},
                                     },
                                     false,
                                     nullptr};

const DeviceListLayout kRestoreLayout{{
                                          {kFieldTick, "", 30, kFixed, kClicks},
                                          {kFieldSerial, "Serial", 60, kFixed, kInert},
                                          {kFieldLocation, "Location", 100, kSorts, kInert},
                                          {kFieldType, "Type", 60, kSorts, kInert},
                                          {kFieldIp, "IP", 122, kSorts, kInert},
                                          {kFieldMac, "MAC", 122, kSorts, kInert},
                                          {kFieldMode, "OperationMode", 76, kSorts, kInert},
                                          {kFieldSsid, "SSID", 120, kSorts, kInert},
                                          {kFieldChannel, "Channel", 60, kSorts, kInert},
                                          {kFieldSecureMode, "SecureMode", 70, kSorts, kInert},
                                          {kFieldPower, "Power", 70, kSorts, kInert},
                                          {kFieldStatus, "Status", 60, kFixed, kInert},
                                      },
                                      false,
                                      nullptr};

const DeviceListLayout kUpgradeLayout{{
                                          {kFieldTick, "", 30, kFixed, kClicks},
                                          {kFieldSerial, "Serial", 60, kFixed, kInert},
                                          {kFieldLocation, "Location", 120, kSorts, kInert},
                                          {kFieldType, "Type", 70, kSorts, kInert},
                                          {kFieldIp, "IP", 122, kSorts, kInert},
                                          {kFieldMac, "MAC", 122, kSorts, kInert},
                                          {kFieldMode, "OperationMode", 86, kSorts, kInert},
                                          {kFieldSsid, "SSID", 130, kSorts, kInert},
                                          {kFieldVersion, "Version", 130, kSorts, kInert},
                                          {kFieldStatus, "Status", 80, kFixed, kInert},
                                      },
                                      false,
                                      nullptr};

} // namespace

int DeviceListLayout::ColumnOf(DeviceField field) const {
    for (size_t column = 0; column < columns.size(); ++column) {
        if (columns[column].field == field) {
            return static_cast<int>(column);
        }
    }
    return -1;
}

DeviceField DeviceListLayout::FieldAt(int column) const {
    return column >= 0 && static_cast<size_t>(column) < columns.size()
               ? columns[static_cast<size_t>(column)].field
               : kDeviceFieldCount;
}

std::optional<SortKey> DeviceListLayout::SortKeyOf(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= columns.size() ||
        !columns[static_cast<size_t>(column)].sorts) {
        return std::nullopt;
    }
    return SortKeyOfField(columns[static_cast<size_t>(column)].field);
}

bool DeviceListLayout::IsFixedWidth(int column) const {
    const DeviceField field = FieldAt(column);
    return field == kFieldTick || field == kFieldSerial || field == kFieldOperate;
}

bool DeviceListLayout::ShowsText(int column) const {
    const DeviceField field = FieldAt(column);
    return field != kFieldTick && field != kFieldOperate && field != kDeviceFieldCount;
}

namespace {

void AppendLine(std::string& text, const DeviceListLayout& layout,
                const std::function<const std::string&(size_t)>& cell) {
    bool first = true;
    for (size_t column = 0; column < layout.columns.size(); ++column) {
        if (!layout.ShowsText(static_cast<int>(column))) {
            continue;
        }
        if (!first) {
            text += '\t';
        }
        // A tab or line break inside a text would split its field or its line.
        for (const char c : cell(column)) {
            text += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        }
        first = false;
    }
    text += '\n';
}

} // namespace

std::string RowsAsText(const DeviceListLayout& layout, const std::vector<std::string>& titles,
                       const std::vector<const DeviceRow*>& rows) {
    std::string text;
    AppendLine(text, layout, [&titles](size_t column) -> const std::string& { return titles.at(column); });
    for (const DeviceRow* row : rows) {
        AppendLine(text, layout, [row, &layout](size_t column) -> const std::string& {
            return row->texts[layout.columns[column].field];
        });
    }
    return text;
}

const DeviceListLayout& DeviceListLayoutOf(int pageId) {
    switch (pageId) {
    case kPageManagement:
        return kManagementLayout;
    case kPageBridge:
        return kBridgeLayout;
    case kPageReboot:
        return kRebootLayout;
    case kPageUpgrade:
        return kUpgradeLayout;
    case kPageRestore:
        return kRestoreLayout;
    default:
        return kStatusLayout;
    }
}

} // namespace rf
