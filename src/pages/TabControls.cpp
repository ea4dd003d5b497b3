#include "pages/TabControls.h"

#include "core/Language.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

namespace rf {

CTStatic* MakeTabLabel(const Settings& settings, QWidget* parent, const char* key, const QRect& where) {
    auto* label = new CTStatic(parent);
    label->SetStaticLook(settings);
    label->setText(QString::fromUtf8(key));
    label->setGeometry(where);
    return label;
}

CTEdit* MakeTabEdit(QWidget* parent, const char* name, const QRect& where, int maxLength, CharMode mode) {
    auto* edit = new CTEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    edit->SetMode(mode);
    edit->setGeometry(where);
    return edit;
}

QComboBox* MakeTabCombo(QWidget* parent, const char* name, const QRect& where) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(where);
    combo->setProperty("rfNoTranslate", true); // its entries are translated as they are filled
    return combo;
}

QCheckBox* MakeTabCheck(QWidget* parent, const char* name, const char* key, const QRect& where) {
    auto* check = new QCheckBox(QString::fromUtf8(key), parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setGeometry(where);
    return check;
}

void ShowChoices(QComboBox* combo, const ChoiceList& list) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const ChoiceItem& item : list.items) {
        combo->addItem(ToQString(item.translate ? Translate(item.text) : item.text), item.data);
    }
    combo->setCurrentIndex(list.selected);
    combo->setEnabled(list.enabled);
}

void ShowFixedChoices(QComboBox* combo, std::initializer_list<std::pair<const char*, int>> items, int value) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const auto& [key, data] : items) {
        combo->addItem(ToQString(Translate(key)), data);
    }
    combo->setCurrentIndex(combo->findData(value));
}

int SelectedValue(const QComboBox* combo, int fallback) {
    return combo->currentIndex() < 0 ? fallback : combo->currentData().toInt();
}

} // namespace rf
