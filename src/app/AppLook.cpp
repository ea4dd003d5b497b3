#include "app/AppLook.h"

#include "app/ToolTipStyle.h"
#include "ui/SkinPaths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace rf {

QString QtTranslationName(std::uint16_t languageId) {
    return languageId == kChineseLanguageId ? QStringLiteral("qtbase_zh_CN") : QString();
}

QTranslator* InstallQtTranslations(QApplication& app, std::uint16_t languageId) {
    const QString name = QtTranslationName(languageId);
    if (name.isEmpty()) {
        return nullptr;
    }
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

void ApplyApplicationLook(QApplication& app, std::uint16_t languageId) {
    QApplication::setStyle(new CToolTipStyle);
    InstallQtTranslations(app, languageId);
}

} // namespace rf
