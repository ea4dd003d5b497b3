#include "ui/MessageBox.h"

#include <QMessageBox>

namespace rf {

std::optional<MessageBox::Answer> MessageBox::nextAnswer_;
QString MessageBox::lastText_;
int MessageBox::count_ = 0;

MessageBox::Answer MessageBox::Run(QWidget* parent, const QString& text, bool question) {
    lastText_ = text;
    ++count_;
    if (nextAnswer_) {
        const Answer answer = *nextAnswer_;
        nextAnswer_.reset();
        return answer;
    }
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Warning, QString(), text,
                    question ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    return box.exec() == QMessageBox::Ok ? Ok : Cancel;
}

void MessageBox::warning(QWidget* parent, const QString& text) {
    Run(parent, text, false);
}

bool MessageBox::confirm(QWidget* parent, const QString& text) {
    return Run(parent, text, true) == Ok;
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
