#include "ui/SkinPaths.h"

#include <gtest/gtest.h>
#include <set>

namespace rf {
namespace {

TEST(SkinPaths, EveryPathLiesInTheSkinFolderOfTheProgram) {
    const SkinPaths p = BuildSkinPaths("/opt/radiofleet/", 1033);
    EXPECT_EQ(p.mainBk, "/opt/radiofleet/Skin/main_bk.jpg");
    EXPECT_EQ(p.applicationIcon, "/opt/radiofleet/Skin/Application.ico");
    EXPECT_EQ(p.waitSearch, "/opt/radiofleet/Skin/wait_search.gif");
    EXPECT_EQ(p.signalStrength[0], "/opt/radiofleet/Skin/singal_strength0.bmp");
    EXPECT_EQ(p.signalStrength[5], "/opt/radiofleet/Skin/singal_strength5.bmp");
    EXPECT_EQ(p.orangeLine, "/opt/radiofleet/Skin/orange_line.bmp");
}

TEST(SkinPaths, ChineseTakesTheFirstVariantEveryOtherLanguageTheSecond) {
    const SkinPaths zh = BuildSkinPaths("/a/", 2052);
    EXPECT_EQ(zh.installHelp, "/a/Skin/help_chinese.jpg");
    EXPECT_EQ(zh.webButton, "/a/Skin/web_chinese.bmp");
    EXPECT_EQ(zh.bridgeButton, "/a/Skin/bridge_chinese.bmp");
    for (const std::uint16_t id : {1033, 1028, 1031, 0}) {
        const SkinPaths other = BuildSkinPaths("/a/", id);
        EXPECT_EQ(other.installHelp, "/a/Skin/help_other.jpg") << id;
        EXPECT_EQ(other.webButton, "/a/Skin/web_other.bmp") << id;
        EXPECT_EQ(other.bridgeButton, "/a/Skin/bridge_other.bmp") << id;
    }
    EXPECT_EQ(zh.mainBk, BuildSkinPaths("/a/", 1033).mainBk) << "the other pictures have one variant";
}

TEST(SkinPaths, TheFileListHoldsEveryPathOfBothLanguages) {
    const auto& names = SkinFileNames();
    const std::set<std::string_view> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size()) << "no name twice";
    EXPECT_EQ(names.size(), 45U);
    for (const std::uint16_t id : {2052, 1033}) {
        const SkinPaths p = BuildSkinPaths("/x/", id);
        for (const std::string* path :
             {&p.mainBk, &p.mainLeftBk, &p.closeWait, &p.installHelp, &p.webButton, &p.bridgeButton,
              &p.btnPie2, &p.write, &p.bridgeFinish, &p.grayLine, &p.menuWirelessDown, &p.helpHelp,
              &p.maxNormal, &p.restoreNormal, &p.configBtn, &p.wirelessConfig}) {
            EXPECT_TRUE(unique.contains(std::string_view(*path).substr(std::string_view("/x/Skin/").size())))
                << *path;
        }
    }
}

} // namespace
} // namespace rf
