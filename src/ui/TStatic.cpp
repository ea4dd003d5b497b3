#include "ui/TStatic.h"

#include "core/Settings.h"
#include "ui/QtConvert.h"

namespace rf {

CTStatic::CTStatic(QWidget* parent) : QLabel(parent) {
    QLabel::setFont(MakeFont("Arial", 16, 0));
    ApplyColours();
}

void CTStatic::SetFont(const QString& face, int weight, int height, const QColor& textColour,
                       const QColor& backgroundColour) {
    QLabel::setFont(MakeFont(face.toStdString(), height, weight));
    textColour_ = textColour;
    backgroundColour_ = backgroundColour;
    ApplyColours();
}

void CTStatic::SetTransparent(bool transparent) {
    transparent_ = transparent;
    ApplyColours();
}

void CTStatic::SetStaticLook(const Settings& s) {
    SetFont(ToQString(s.fontName), s.staticFontWeight, s.staticFontHeight, ToQColor(s.staticFontTextColor),
            ToQColor(s.staticFontBkColor));
}

void CTStatic::ApplyColours() {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, textColour_);
    pal.setColor(QPalette::Window, backgroundColour_);
    setPalette(pal);
    setAutoFillBackground(!transparent_);
}

} // namespace rf
