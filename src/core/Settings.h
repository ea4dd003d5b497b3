#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rf {

// A colour as R + 256*G + 65536*B.
using ColourRef = std::uint32_t;

constexpr ColourRef Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(ColourRef c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(ColourRef c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(ColourRef c) {
    return (c >> 16) & 0xFF;
}

struct FontSpec {
    int height = 0;
    int weight = 0;
    std::string face; // at most 31 characters
};

// Everything Setting.ini holds, plus the values derived from it. Read once at start-up, then only read.
struct Settings {
    ColourRef childBkColor = 0;
    std::string fontName;
    int buttonMenuFontWeight = 0;
    int buttonMenuFontHeight = 0;
    ColourRef buttonMenuFontColor = 0;
    int buttonFontWeight = 0;
    int buttonFontHeight = 0;
    ColourRef buttonFontColor = 0;
    int staticFontWeight = 0;
    int staticFontHeight = 0;
    ColourRef staticFontTextColor = 0;
    ColourRef staticFontBkColor = 0;
    ColourRef textDownColor = 0;
    ColourRef lineColor = 0;
    ColourRef staticTextNumberColor = 0;
    int gridTitleFontWeight = 0;
    int gridTitleFontHeight = 0;
    int gridFontWeight = 0;
    int gridFontHeight = 0;
    ColourRef gridTextColor = 0;
    ColourRef gridTitleTextColor = 0;
    ColourRef gridTitleBkColor = 0;
    ColourRef textUnlineColor = 0;
    ColourRef textOnlineColor = 0;
    int retransmissionMax = 0;
    int retransmissionInterval = 0;

    FontSpec gridTitleFont;
    FontSpec gridFont;
    int gridRowHeight = 0;
    std::string exeDirectory;
    std::string versionLabel;
};

// Reads "<directory>Setting.ini"; a missing file or key gives the default.
Settings LoadSettings(const std::string& directory);

// The process-wide settings: filled once by the start-up through SetGlobalSettings, read everywhere after.
const Settings& GlobalSettings();
void SetGlobalSettings(Settings settings);

// A number read like atoi: optional blanks and sign, then decimal digits; anything else gives 0.
int ParseNumber(std::string_view text);
// Three comma-separated numbers (a part may be quoted), each taken modulo 256; false when the text does
// not split into exactly three parts.
bool ParseColour(std::string_view text, ColourRef& colour);

} // namespace rf
