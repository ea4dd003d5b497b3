#pragma once

#include "protocol/Wire.h"

#include <QString>

class QWidget;

namespace rf {

class CIpAddressEdit;
class CTStatic;
struct Settings;

// One labelled address field of the IP forms, placed at y in a column of label and field.
struct IpFieldRow {
    CTStatic* label = nullptr;
    CIpAddressEdit* field = nullptr;
};
IpFieldRow MakeIpFieldRow(const Settings& settings, QWidget* parent, const char* labelKey,
                          const QString& name, int y);
QString IpText(const Ipv4Bytes& ip);

} // namespace rf
