#include "ui/QtConvert.h"

#include "core/Language.h"

#include <algorithm>

namespace rf {

QString TranslateText(std::string_view key) {
    return ToQString(Translate(key));
}

QColor ToQColor(ColourRef colour) {
    return QColor(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                  static_cast<int>(BlueOf(colour)));
}

ColourRef ToColourRef(const QColor& colour) {
    return Rgb(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
               static_cast<unsigned>(colour.blue()));
}

QFont MakeFont(std::string_view face, int height, int weight) {
    QFont font(ToQString(face));
    font.setStyleHint(QFont::SansSerif);
    if (height > 0) {
        font.setPixelSize(height);
    }
    const int qtWeight = weight <= 0 ? QFont::Normal : std::clamp(weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(qtWeight));
    return font;
}

QFont ToQFont(const FontSpec& font) {
    return MakeFont(font.face, font.height, font.weight);
}

} // namespace rf
