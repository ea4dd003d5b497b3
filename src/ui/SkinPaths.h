#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// Language id whose users get the Chinese variants of the three pictures that carry language.
inline constexpr std::uint16_t kChineseLanguageId = 2052;

// The full path of every picture of the skin folder, built once at start-up from the executable directory
// (ending in "/"): "<dir>Skin/<file>".
struct SkinPaths {
    std::string mainBk;
    std::string mainLeftBk;
    std::string applicationIcon;
    std::string closeNormal;
    std::string minNormal;
    std::string maxNormal;
    std::string restoreNormal;
    std::string helpNormal;
    std::string helpProduct;
    std::string helpSupport;
    std::string helpContact;
    std::string helpHelp;
    std::string menuSearchNormal;
    std::string menuSearchDown;
    std::string menuWirelessNormal;
    std::string menuWirelessDown;
    std::string closeWait;
    std::string installHelp;  // language variant
    std::string webButton;    // language variant
    std::string bridgeButton; // language variant
    std::string btnSearch;
    std::string btnUpdateNormal;
    std::string btnUpdateDown;
    std::string btnConfig;
    std::string configBtn;
    std::string closeConfig;
    std::string wirelessBasic;
    std::string wirelessConfig;
    std::string btnPie;
    std::string btnPie2;
    std::string waitSearch;
    std::string write;
    std::string bridgeFinish;
    std::array<std::string, 6> signalStrength;
    std::string line;
    std::string grayLine;
    std::string orangeLine;
};

SkinPaths BuildSkinPaths(const std::string& exeDirectory, std::uint16_t languageId);

// The file of a picture that comes in two variants: the first for Chinese, the second for the others.
std::string_view LanguageVariant(std::string_view chinese, std::string_view other, std::uint16_t languageId);

// Every file name the skin folder holds, both variants included.
const std::vector<std::string_view>& SkinFileNames();

} // namespace rf
