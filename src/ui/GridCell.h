#pragma once

#include "ui/CellFormat.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QtGlobal>

namespace rf {

// One cell of the device grid. An invalid colour means the grid's default.
struct GridCell {
    QString text;
    unsigned format = kFormatLeft | kFormatVCentre | kFormatSingleLine;
    QFont font;
    bool hasFont = false;
    QColor textColour;
    QColor background;
    int image = -1;
    qint64 itemData = 0;
    QString tip; // shown on hovering, instead of the full text of a cut cell
    bool selected = false;
    bool checkBox = false;
    bool checked = false;
};

} // namespace rf
