#pragma once

#include <QString>
#include <cstdint>

class QApplication;
class QTranslator;

namespace rf {

// Qt's own texts (message-box buttons, edit menus) in the language of languageId: the translator of Qt's
// translations folder, installed into the application. Null for English or when Qt's translations for the
// language are not installed.
QTranslator* InstallQtTranslations(QApplication& app, std::uint16_t languageId);
// The name of Qt's translation file for a language id ("qtbase_zh_CN"), empty for English.
QString QtTranslationName(std::uint16_t languageId);

// The application-wide look: the tooltip delay and Qt's texts in the program's language.
void ApplyApplicationLook(QApplication& app, std::uint16_t languageId);

} // namespace rf
