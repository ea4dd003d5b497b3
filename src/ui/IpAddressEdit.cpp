#include "ui/IpAddressEdit.h"

#include "ui/QtConvert.h"

namespace rf {

bool IpAddressValidator::HasPartAbove255(const QString& text) {
    for (const QString& part : text.split(QLatin1Char('.'))) {
        if (!part.isEmpty() && part.toInt() > 255) {
            return true;
        }
    }
    return false;
}

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
        if (part.isEmpty() || part.toInt() > 255) {
            complete = false;
        }
    }
    return complete ? Acceptable : Intermediate;
}

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new IpAddressValidator(this));
    setMaxLength(15);
    setProperty("rfNoTranslate", true);
    connect(this, &QLineEdit::textChanged, this, &CIpAddressEdit::ShowValidity);
}

void CIpAddressEdit::ShowValidity() {
    const bool wrong = IpAddressValidator::HasPartAbove255(text());
    if (wrong == marked_) {
        return;
    }
    marked_ = wrong;
    setProperty("rfInvalid", wrong);
    setStyleSheet(wrong ? QStringLiteral("border: 1px solid #d01010;") : QString());
    setToolTip(wrong ? TranslateText("255 is the largest value of a part") : QString());
}

} // namespace rf
