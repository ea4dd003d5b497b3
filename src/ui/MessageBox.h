#pragma once

#include <QString>
#include <memory>
#include <optional>

class QMessageBox;
class QPixmap;
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
    // The program's name and version under a title, beside the program's icon.
    static void about(QWidget* parent, const QString& title, const QString& text, const QPixmap& icon);

    // The warning box as warning shows it, not yet shown: titled with the program's name, and when shown
    // centred on parent's window and wide enough for its whole title.
    static std::unique_ptr<QMessageBox> makeWarning(QWidget* parent, const QString& text);
    // The width a box needs for its whole title beside the title strip's buttons.
    static int titleWidth(const QMessageBox& box);

    static void setNextAnswer(Answer answer);
    // The text of the last box asked for, shown or answered; empty before the first.
    static QString lastText();
    // How many boxes have been asked for since the start.
    static int count();

private:
    enum class Kind { Warning, Question, Copyable };
    // Counts a box asked for; the answer a test gave for it, if any.
    static std::optional<Answer> Count(const QString& text);
    static Answer Run(QWidget* parent, const QString& text, Kind kind, Answer defaultAnswer = Ok);
    static std::unique_ptr<QMessageBox> Make(QWidget* parent, const QString& text, Kind kind,
                                             Answer defaultAnswer);

    static std::optional<Answer> nextAnswer_;
    static QString lastText_;
    static int count_;
};

} // namespace rf
