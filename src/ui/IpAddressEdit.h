#pragma once

#include <QLineEdit>
#include <QValidator>

namespace rf {

// What an IPv4 address field accepts while the user types: at most four dot-separated numbers of up to
// three digits, none above 255. Complete when empty or when all four numbers are there.
class IpAddressValidator : public QValidator {
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// An address field: a line edit that takes only what an IPv4 address can be. Its content is data, so
// window translation leaves it alone.
class CIpAddressEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);

    // The dotted text as typed ("" for an empty field).
    QString Address() const { return text(); }
    void SetAddress(const QString& text) { setText(text); }
};

} // namespace rf
