#include "pages/IpFieldForm.h"

#include "protocol/CodeTables.h"
#include "ui/IpAddressEdit.h"
#include "ui/QtConvert.h"
#include "ui/TStatic.h"

namespace rf {

IpFieldRow MakeIpFieldRow(const Settings& settings, QWidget* parent, const char* labelKey,
                          const QString& name, int y) {
    IpFieldRow row;
    row.label = new CTStatic(parent);
    row.label->setObjectName(name + QStringLiteral("Label"));
    row.label->SetStaticLook(settings);
    row.label->setText(QString::fromUtf8(labelKey));
    row.label->setGeometry(30, y, 130, 26);
    row.field = new CIpAddressEdit(parent);
    row.field->setObjectName(name);
    row.field->setGeometry(170, y, 180, 26);
    return row;
}

QString IpText(const Ipv4Bytes& ip) {
    return ToQString(IpBytesToText(ip));
}

} // namespace rf
