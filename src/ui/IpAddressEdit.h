#pragma once

#include <QLineEdit>
#include <QValidator>

namespace rf {

// What an IPv4 address field accepts while the user types: at most four dot-separated numbers of up to
// three digits. Complete when empty or when all four numbers are there and none is above 255. A number
// above 255 is kept as typed (never silently cut) but leaves the text incomplete, so the field shows it as
// wrong and the forms refuse it.
class IpAddressValidator : public QValidator {
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    // Whether some part of text is a number above 255.
    static bool HasPartAbove255(const QString& text);
};

// An address field: a line edit that takes only what an IPv4 address can be, framed in red with a tip while
// a part is above 255. Its content is data, so window translation leaves it alone.
class CIpAddressEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);

    // The dotted text as typed ("" for an empty field); a part above 255 makes it an invalid address.
    QString Address() const { return text(); }
    void SetAddress(const QString& text) { setText(text); }
    // False while a part is above 255.
    bool IsMarkedValid() const { return !marked_; }

private:
    void ShowValidity();

    bool marked_ = false;
};

} // namespace rf
