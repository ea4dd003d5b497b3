#include "ui/MessageBox.h"

#include <QMessageBox>

namespace rf {

std::optional<MessageBox::Answer> MessageBox::nextAnswer_;
QString MessageBox::lastText_;
int MessageBox::count_ = 0;

MessageBox::Answer MessageBox::Run(QWidget* parent, const QString& text, Kind kind, Answer defaultAnswer) {
    lastText_ = text;
    ++count_;
    if (nextAnswer_) {
        const Answer answer = *nextAnswer_;
        nextAnswer_.reset();
        return answer;
    }
    const bool question = kind == Kind::Question;
    const QMessageBox::Icon icon = question                ? QMessageBox::Question
                                   : kind == Kind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    QMessageBox box(icon, QString(), text,
                    question ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (question) {
        box.setDefaultButton(defaultAnswer == Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    }
    if (kind == Kind::Copyable) {
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    return box.exec() == QMessageBox::Ok ? Ok : Cancel;
}

void MessageBox::warning(QWidget* parent, const QString& text) {
    Run(parent, text, Kind::Warning);
}

void MessageBox::copyable(QWidget* parent, const QString& text) {
    Run(parent, text, Kind::Copyable);
}

bool MessageBox::confirm(QWidget* parent, const QString& text, Answer defaultAnswer) {
    return Run(parent, text, Kind::Question, defaultAnswer) == Ok;
}

void MessageBox::setNextAnswer(Answer answer) {
    nextAnswer_ = answer;
}

QString MessageBox::lastText() {
    return lastText_;
}

int MessageBox::count() {
    return count_;
}

} // namespace rf
