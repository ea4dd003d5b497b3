#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace rf {

// Every message the pages show to the user goes through here, so that tests can answer instead of a user:
// setNextAnswer makes the next box return that answer at once without showing itself.
class MessageBox {
public:
    enum Answer { Ok, Cancel };

    // A warning: no caption, the exclamation icon and OK.
    static void warning(QWidget* parent, const QString& text);
    // A confirmation: the question icon, OK and Cancel, Enter giving the default answer. True only for OK.
    static bool confirm(QWidget* parent, const QString& text, Answer defaultAnswer = Ok);
    // An information with OK whose text the user can select and copy (an address, a path).
    static void copyable(QWidget* parent, const QString& text);

    static void setNextAnswer(Answer answer);
    // The text of the last box asked for, shown or answered; empty before the first.
    static QString lastText();
    // How many boxes have been asked for since the start.
    static int count();

private:
    enum class Kind { Warning, Question, Copyable };
    static Answer Run(QWidget* parent, const QString& text, Kind kind, Answer defaultAnswer = Ok);

    static std::optional<Answer> nextAnswer_;
    static QString lastText_;
    static int count_;
};

} // namespace rf
