#include "pages/PageParts.h"

#include "core/Settings.h"
#include "ui/QtConvert.h"
#include "ui/TStatic.h"

namespace rf {

CTStatic* MakeBatchSummaryLine(const Settings& settings, QWidget* page) {
    auto* summary = new CTStatic(page);
    summary->setObjectName(QStringLiteral("batchSummary"));
    summary->SetStaticLook(settings);
    summary->setProperty("rfNoTranslate", true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return summary;
}

QWidget* MakeSeparatorLine(const Settings& settings, QWidget* page) {
    auto* separator = new QWidget(page);
    separator->setObjectName(QStringLiteral("separator"));
    separator->setAutoFillBackground(true);
    QPalette palette = separator->palette();
    palette.setColor(QPalette::Window, ToQColor(settings.lineColor));
    separator->setPalette(palette);
    return separator;
}

} // namespace rf
