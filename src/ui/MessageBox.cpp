#include "ui/MessageBox.h"

#include "core/Language.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>

namespace rf {
namespace {

// The close button and the room a window manager keeps beside a title.
constexpr int kTitleStripRoom = 96;

// A message box over the middle of the window it belongs to, never where the window system happens to put
// it, and wide enough that its title is never cut.
class CCentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // fixes the box's size to its contents
        const int needed = MessageBox::titleWidth(*this);
        if (width() < needed) {
            setFixedWidth(needed);
        }
        const QWidget* anchor =
            parentWidget() != nullptr ? parentWidget()->window() : QApplication::activeWindow();
        if (anchor != nullptr && anchor != this) {
            move(anchor->geometry().center() - QPoint(width() / 2, height() / 2));
        }
    }
};

} // namespace

std::optional<MessageBox::Answer> MessageBox::nextAnswer_;
QString MessageBox::lastText_;
int MessageBox::count_ = 0;

std::optional<MessageBox::Answer> MessageBox::Count(const QString& text) {
    lastText_ = text;
    ++count_;
    std::optional<Answer> answer = nextAnswer_;
    nextAnswer_.reset();
    return answer;
}

MessageBox::Answer MessageBox::Run(QWidget* parent, const QString& text, Kind kind, Answer defaultAnswer) {
    if (const std::optional<Answer> answer = Count(text)) {
        return *answer;
    }
    return Make(parent, text, kind, defaultAnswer)->exec() == QMessageBox::Ok ? Ok : Cancel;
}

void MessageBox::about(QWidget* parent, const QString& title, const QString& text, const QPixmap& icon) {
    if (Count(text)) {
        return;
    }
    const std::unique_ptr<QMessageBox> box = Make(parent, text, Kind::Copyable, Ok);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setWindowTitle(title);
    box->setIconPixmap(icon);
    box->exec();
}

std::unique_ptr<QMessageBox> MessageBox::Make(QWidget* parent, const QString& text, Kind kind,
                                              Answer defaultAnswer) {
    const bool question = kind == Kind::Question;
    const QMessageBox::Icon icon = question                ? QMessageBox::Question
                                   : kind == Kind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    auto box = std::make_unique<CCentredMessageBox>(
        icon, ToQString(Translate("VEZEzizozodud")), text,
        question ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    if (question) {
        box->setDefaultButton(defaultAnswer == Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    }
    if (kind == Kind::Copyable) {
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    return box;
}

std::unique_ptr<QMessageBox> MessageBox::makeWarning(QWidget* parent, const QString& text) {
    return Make(parent, text, Kind::Warning, Ok);
}

int MessageBox::titleWidth(const QMessageBox& box) {
    QFont font = box.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleStripRoom;
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
