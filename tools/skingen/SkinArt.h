#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <functional>
#include <map>
#include <string>

namespace rf {

// The palette of our skin.
namespace skin {
inline const QColor kInk{31, 42, 55};
inline const QColor kNavy{18, 52, 86};
inline const QColor kBlue{30, 136, 200};
inline const QColor kSky{120, 190, 235};
inline const QColor kMist{236, 242, 248};
inline const QColor kPanel{246, 248, 251};
inline const QColor kGrey{190, 198, 208};
inline const QColor kOrange{240, 128, 40};
inline const QColor kGreen{46, 160, 90};
} // namespace skin

// Draws one picture of the skin.
using SkinPainter = std::function<QImage()>;

// The program's icon with sides of size pixels: the window's (48) and the desktop menu's.
QImage ApplicationIcon(int size);

// Every still picture of the skin by file name (the animation is made apart).
std::map<std::string, SkinPainter> StillPictures();

} // namespace rf
