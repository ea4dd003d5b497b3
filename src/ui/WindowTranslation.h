#pragma once

class QComboBox;
class QMenu;
class QWidget;

namespace rf {

// Replaces the texts of a freshly built window and its controls by their translations. Each window and
// control is translated once. Controls that hold what the user enters or sees as data (line edits and our
// filtered edits, list, tree and table views, progress bars, spin boxes and date fields, text editors,
// address fields) keep their content; a text "..." is kept; an empty translation is not applied.
// A widget can opt out with the dynamic property "rfNoTranslate" set to true.
void TranslateWindow(QWidget* window);
// Translates the items of a combo box; its selection and the data of its items stay.
void TranslateComboBox(QComboBox* combo);
// Translates the entries of a menu and its submenus.
void TranslateMenu(QMenu* menu);
// Whether TranslateWindow has already handled widget.
bool IsTranslated(const QWidget* widget);

} // namespace rf
