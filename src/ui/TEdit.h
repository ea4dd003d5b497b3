#pragma once

#include "ui/EditFilter.h"

#include <QLineEdit>
#include <string>

namespace rf {

// An edit field that filters what is typed (digits, letters or both; forbidden characters) and can lock
// the clipboard. Pasted text passes the same filter, so a digits-only field never holds a letter.
class CTEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CTEdit(QWidget* parent = nullptr);

    void SetMode(CharMode mode) { mode_ = mode; }
    void SetForbiddenChars(const QString& chars);
    void SetClipboardLock(bool locked);

    CharMode Mode() const { return mode_; }
    bool ClipboardLocked() const { return clipboardLock_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    EditFilter Filter() const;
    QString Filtered(const QString& text) const;
    void PasteFiltered();

    CharMode mode_ = CharMode::Any;
    std::u32string forbidden_;
    bool clipboardLock_ = false;
};

} // namespace rf
