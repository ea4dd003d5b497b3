#include "ui/WindowTranslation.h"

#include "ui/QtConvert.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTextEdit>

namespace rf {

namespace {

const char* const kTranslatedProperty = "rfTranslated";
const char* const kNoTranslateProperty = "rfNoTranslate";

QString TranslatedOrEmpty(const QString& text) {
    if (text.isEmpty() || text == QStringLiteral("...")) {
        return {};
    }
    return TranslateText(text.toStdString());
}

// Whether a control carries the user's data and is left as it is.
bool HoldsUserData(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QAbstractItemView*>(w) != nullptr ||
           qobject_cast<const QProgressBar*>(w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(w) != nullptr ||
           qobject_cast<const QTextEdit*>(w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(w) != nullptr || w->property(kNoTranslateProperty).toBool();
}

// Whether w lies inside a control that holds user data (the viewport of a view, the editor of a spin box).
bool InsideUserData(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget()) {
        if (HoldsUserData(p)) {
            return true;
        }
    }
    return false;
}

template <typename Get, typename Set> void ApplyTranslation(Get get, Set set) {
    const QString translated = TranslatedOrEmpty(get());
    if (!translated.isEmpty()) {
        set(translated);
    }
}

void TranslateTabBar(QTabBar* bar) {
    for (int i = 0; i < bar->count(); ++i) {
        ApplyTranslation([&] { return bar->tabText(i); }, [&](const QString& t) { bar->setTabText(i, t); });
    }
}

void TranslateControl(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        TranslateComboBox(combo);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        ApplyTranslation([&] { return button->text(); }, [&](const QString& t) { button->setText(t); });
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        ApplyTranslation([&] { return label->text(); }, [&](const QString& t) { label->setText(t); });
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        ApplyTranslation([&] { return group->title(); }, [&](const QString& t) { group->setTitle(t); });
    } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
        TranslateTabBar(bar);
    }
}

} // namespace

bool IsTranslated(const QWidget* widget) {
    return widget != nullptr && widget->property(kTranslatedProperty).toBool();
}

void TranslateWindow(QWidget* window) {
    if (window == nullptr || IsTranslated(window)) {
        return;
    }
    window->setProperty(kTranslatedProperty, true);
    const QString caption = window->windowTitle();
    if (!caption.isEmpty()) {
        const QString translated = TranslateText(caption.toStdString());
        if (!translated.isEmpty() && translated != caption) {
            window->setWindowTitle(translated);
        }
    }
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (IsTranslated(child)) {
            continue;
        }
        child->setProperty(kTranslatedProperty, true);
        if (!HoldsUserData(child) && !InsideUserData(child, window)) {
            TranslateControl(child);
        }
    }
}

void TranslateComboBox(QComboBox* combo) {
    if (combo == nullptr) {
        return;
    }
    const int selection = combo->currentIndex();
    const QSignalBlocker block(combo);
    for (int i = 0; i < combo->count(); ++i) {
        const QString translated = TranslatedOrEmpty(combo->itemText(i));
        if (!translated.isEmpty()) {
            combo->setItemText(i, translated);
        }
    }
    if (selection >= 0 && selection < combo->count()) {
        combo->setCurrentIndex(selection);
    }
}

void TranslateMenu(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        const QString text = action->text();
        const QString translated = TranslateText(text.toStdString());
        if (!translated.isEmpty() && translated != text) {
            action->setText(translated);
        }
        if (QMenu* sub = action->menu()) {
            TranslateMenu(sub);
        }
    }
}

} // namespace rf
