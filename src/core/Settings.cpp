#include "core/Settings.h"

#include "core/IniDocument.h"
#include "core/OperateSystemInfo.h"

#include <climits>
#include <vector>

namespace rf {

int ParseNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1; // saturate instead of overflowing
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

namespace {

// Splits at commas; a part enclosed in ' or " quotes may contain commas and loses its quotes.
std::vector<std::string> SplitColourParts(std::string_view text) {
    std::vector<std::string> parts(1);
    char quote = 0;
    for (const char c : text) {
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else {
                parts.back() += c;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ',') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

} // namespace

bool ParseColour(std::string_view text, ColourRef& colour) {
    const auto parts = SplitColourParts(text);
    if (parts.size() != 3) {
        return false;
    }
    const auto part = [&](size_t i) { return static_cast<unsigned>(ParseNumber(parts[i])) & 0xFF; };
    colour = Rgb(part(0), part(1), part(2));
    return true;
}

namespace {

class SettingsReader {
public:
    explicit SettingsReader(const std::string& path) : doc_(IniDocument::Load(path)) {}

    std::string Text(std::string_view section, std::string_view key, std::string_view fallback) const {
        constexpr size_t kValueChars = 63; // values are read into 64-character buffers
        if (doc_) {
            if (auto value = doc_->Get(section, key, kValueChars)) {
                return *value;
            }
        }
        return std::string(fallback);
    }
    int Number(std::string_view section, std::string_view key, std::string_view fallback) const {
        return ParseNumber(Text(section, key, fallback));
    }
    ColourRef Colour(std::string_view key, std::string_view fallback) const {
        ColourRef colour = 0;
        ParseColour(Text("Color", key, fallback), colour);
        return colour;
    }

private:
    std::optional<IniDocument> doc_;
};

} // namespace

Settings LoadSettings(const std::string& directory) {
    const SettingsReader ini(directory + "Setting.ini");
    Settings s;
    s.childBkColor = ini.Colour("ChildBkColor", "255,255,255");
    s.fontName = ini.Text("Font", "FontName", "Arial");
    s.buttonMenuFontWeight = ini.Number("Font", "ButtonMenuFontWeight", "0");
    s.buttonMenuFontHeight = ini.Number("Font", "ButtonMenuFontHeight", "15");
    s.buttonMenuFontColor = ini.Colour("ButtonMenuFontColor", "0,0,0");
    s.buttonFontWeight = ini.Number("Font", "ButtonFontWeight", "0");
    s.buttonFontHeight = ini.Number("Font", "ButtonFontHeight", "15");
    s.buttonFontColor = ini.Colour("ButtonFontColor", "0,0,0");
    s.staticFontWeight = ini.Number("Font", "StaticFontWeight", "0");
    s.staticFontHeight = ini.Number("Font", "StaticFontHeight", "15");
    s.staticFontTextColor = ini.Colour("StaticFontTextColor", "0,0,0");
    s.staticFontBkColor = ini.Colour("StaticFontBkColor", "255,255,255");
    s.textDownColor = ini.Colour("TextDownColor", "216,34,40");
    s.lineColor = ini.Colour("LineColor", "215,215,215");
    s.staticTextNumberColor = ini.Colour("StaticTextNumberColor", "142,142,142");
    s.gridTitleFontWeight = ini.Number("Font", "GridTitleFontWeight", "700");
    s.gridTitleFontHeight = ini.Number("Font", "GridTitleFontHeight", "15");
    s.gridFontWeight = ini.Number("Font", "GridFontWeight", "0");
    s.gridFontHeight = ini.Number("Font", "GridFontHeight", "15");
    s.gridTextColor = ini.Colour("GridTextColor", "0,0,0");
    s.gridTitleTextColor = ini.Colour("GridTitleTextColor", "237,112,32");
    s.gridTitleBkColor = ini.Colour("GridTitleBkColor", "221,217,196");
    s.textUnlineColor = ini.Colour("TextUnlineColor", "142,142,142");
    s.textOnlineColor = ini.Colour("TextOnlineColor", "0,153,0");
    s.retransmissionMax = ini.Number("Setting", "retransmission_max", "3");
    s.retransmissionInterval = ini.Number("Setting", "retransmission_interval", "2000");

    const std::string face(Utf8Prefix(s.fontName, 31));
    s.gridTitleFont = {s.gridTitleFontHeight, s.gridTitleFontWeight, face};
    s.gridFont = {s.gridFontHeight, s.gridFontWeight, face};
    s.gridRowHeight = 48;
    s.exeDirectory = directory;
    std::string version;
    COperateSystemInfo::GetFileVersionText("/proc/self/exe", version);
    s.versionLabel = "V" + version;
    return s;
}

namespace {

Settings& GlobalStorage() {
    static Settings settings;
    return settings;
}

} // namespace

const Settings& GlobalSettings() {
    return GlobalStorage();
}

void SetGlobalSettings(Settings settings) {
    GlobalStorage() = std::move(settings);
}

} // namespace rf
