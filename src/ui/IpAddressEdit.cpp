#include "ui/IpAddressEdit.h"

namespace rf {

QValidator::State IpAddressValidator::validate(QString& input, int& pos) const {
    (void)pos;
    if (input.isEmpty()) {
        return Acceptable;
    }
    const QStringList parts = input.split(QLatin1Char('.'));
    if (parts.size() > 4) {
        return Invalid;
    }
    bool complete = parts.size() == 4;
    for (const QString& part : parts) {
        if (part.size() > 3) {
            return Invalid;
        }
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return Invalid;
            }
        }
        if (part.isEmpty()) {
            complete = false;
        } else if (part.toInt() > 255) {
            return Invalid;
        }
    }
    return complete ? Acceptable : Intermediate;
}

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new IpAddressValidator(this));
    setMaxLength(15);
    setProperty("rfNoTranslate", true);
}

} // namespace rf
