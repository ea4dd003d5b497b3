#pragma once

#include "core/Settings.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace rf {

// The core speaks UTF-8 std::string; the widgets QString.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) {
    return text.toStdString();
}

// The text of key in the current language, for a widget.
QString TranslateText(std::string_view key);

QColor ToQColor(ColourRef colour);
ColourRef ToColourRef(const QColor& colour);

// A font of face, pixel height and weight (0 is the normal weight, 700 bold).
QFont MakeFont(std::string_view face, int height, int weight);
QFont ToQFont(const FontSpec& font);

} // namespace rf
