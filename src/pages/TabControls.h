#pragma once

#include "rules/ChoiceList.h"
#include "ui/EditFilter.h"

#include <QRect>
#include <QString>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QComboBox;
class QWidget;

namespace rf {

class CTEdit;
class CTStatic;
struct Settings;

// The controls the configuration tabs are made of, each named for tests and translated with its window.
CTStatic* MakeTabLabel(const Settings& settings, QWidget* parent, const char* key, const QRect& where);
CTEdit* MakeTabEdit(QWidget* parent, const char* name, const QRect& where, int maxLength,
                    CharMode mode = CharMode::Any);
QComboBox* MakeTabCombo(QWidget* parent, const char* name, const QRect& where);
QCheckBox* MakeTabCheck(QWidget* parent, const char* name, const char* key, const QRect& where);

// Fills a drop-down list with the entries of a list (the marked ones translated), the value of each
// entry as its item data, and selects and enables it as the list says; no signal is sent.
void ShowChoices(QComboBox* combo, const ChoiceList& list);
// Fills a drop-down list with fixed entries whose item data are their values, selecting value.
void ShowFixedChoices(QComboBox* combo, std::initializer_list<std::pair<const char*, int>> items, int value);
// The item data of the selected entry, or fallback when none is selected.
int SelectedValue(const QComboBox* combo, int fallback);

} // namespace rf
