#include "ui/TEdit.h"

#include "ui/FocusFrame.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

namespace rf {

namespace {

constexpr QColor kDecorationColour{207, 207, 207};

// The control character a clipboard shortcut stands for, or 0.
char32_t ClipboardControlOf(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        return kCtrlCopy;
    }
    if (event->matches(QKeySequence::Paste)) {
        return kCtrlPaste;
    }
    if (event->matches(QKeySequence::Cut)) {
        return kCtrlCut;
    }
    if (event->matches(QKeySequence::Undo)) {
        return kCtrlUndo;
    }
    return 0;
}

} // namespace

CTEdit::CTEdit(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(2, 1, 2, 1);
}

void CTEdit::SetForbiddenChars(const QString& chars) {
    const QList<uint> codes = chars.toUcs4();
    forbidden_.assign(codes.begin(), codes.end());
}

void CTEdit::SetClipboardLock(bool locked) {
    clipboardLock_ = locked;
    setContextMenuPolicy(locked ? Qt::NoContextMenu : Qt::DefaultContextMenu);
}

EditFilter CTEdit::Filter() const {
    return {mode_, forbidden_, clipboardLock_};
}

QString CTEdit::Filtered(const QString& text) const {
    const EditFilter filter = Filter();
    QString kept;
    for (const uint code : text.toUcs4()) {
        if (AcceptsInsertedChar(filter, static_cast<char32_t>(code))) {
            const char32_t ch[1] = {static_cast<char32_t>(code)};
            kept += QString::fromUcs4(ch, 1);
        }
    }
    return kept;
}

void CTEdit::PasteFiltered() {
    if (isReadOnly()) {
        return;
    }
    insert(Filtered(QGuiApplication::clipboard()->text()));
}

void CTEdit::keyPressEvent(QKeyEvent* event) {
    const EditFilter filter = Filter();
    if (const char32_t control = ClipboardControlOf(event); control != 0) {
        if (!AcceptsTypedChar(filter, control)) {
            event->accept();
            return;
        }
        if (control == kCtrlPaste) {
            PasteFiltered();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        if (AcceptsTypedChar(filter, kBackspace)) {
            QLineEdit::keyPressEvent(event);
        } else {
            event->accept();
        }
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        for (const uint code : typed.toUcs4()) {
            if (!AcceptsTypedChar(filter, static_cast<char32_t>(code))) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CTEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (clipboardLock_) {
        event->accept();
        return;
    }
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QStringLiteral("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, &CTEdit::PasteFiltered);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void CTEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (clipboardLock_) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void CTEdit::dropEvent(QDropEvent* event) {
    if (clipboardLock_ || isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    insert(Filtered(event->mimeData()->text()));
    event->acceptProposedAction();
}

void CTEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(kDecorationColour, 1));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    if (ShowsKeyboardFocus(*this)) {
        PaintFocusFrame(painter, rect(), *this);
    }
}

} // namespace rf
