#include "core/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(SettingsColour, PartsAreTakenModulo256AndMayHaveBlanksOrQuotes) {
    ColourRef c = 0;
    ASSERT_TRUE(ParseColour("0,153,0", c));
    EXPECT_EQ(c, Rgb(0, 153, 0));
    EXPECT_EQ(GreenOf(c), 153u);
    ASSERT_TRUE(ParseColour("300,0,0", c));
    EXPECT_EQ(RedOf(c), 44u);
    ASSERT_TRUE(ParseColour("255, 255,  255", c));
    EXPECT_EQ(c, Rgb(255, 255, 255));
    ASSERT_TRUE(ParseColour("'1,2',3,4", c)) << "a quoted part may hold a comma";
    EXPECT_EQ(c, Rgb(1, 3, 4));
    ASSERT_TRUE(ParseColour("x,-1,7", c));
    EXPECT_EQ(c, Rgb(0, 255, 7));
}

TEST(SettingsColour, AnythingButThreePartsIsRefused) {
    ColourRef c = 0;
    EXPECT_FALSE(ParseColour("1,2", c));
    EXPECT_FALSE(ParseColour("1,2,3,4", c));
    EXPECT_FALSE(ParseColour("", c));
}

TEST(SettingsNumber, ReadsLikeAtoi) {
    EXPECT_EQ(ParseNumber(" -42abc"), -42);
    EXPECT_EQ(ParseNumber("+7"), 7);
    EXPECT_EQ(ParseNumber("abc"), 0);
    EXPECT_EQ(ParseNumber(""), 0);
    EXPECT_EQ(ParseNumber("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseNumber("-99999999999999999999"), -2147483647 - 1);
}

TEST(SettingsFile, MissingFileGivesEveryDefault) {
    test::TempDir dir;
    const Settings s = LoadSettings(dir.Dir());
    EXPECT_EQ(s.childBkColor, Rgb(255, 255, 255));
    EXPECT_EQ(s.fontName, "Arial");
    EXPECT_EQ(s.buttonMenuFontHeight, 15);
    EXPECT_EQ(s.textDownColor, Rgb(216, 34, 40));
    EXPECT_EQ(s.lineColor, Rgb(215, 215, 215));
    EXPECT_EQ(s.gridTitleFontWeight, 700);
    EXPECT_EQ(s.gridTitleTextColor, Rgb(237, 112, 32));
    EXPECT_EQ(s.gridTitleBkColor, Rgb(221, 217, 196));
    EXPECT_EQ(s.textUnlineColor, Rgb(142, 142, 142));
    EXPECT_EQ(s.textOnlineColor, Rgb(0, 153, 0));
    EXPECT_EQ(s.retransmissionMax, 3);
    EXPECT_EQ(s.retransmissionInterval, 2000);
    EXPECT_EQ(s.gridRowHeight, 48);
    EXPECT_EQ(s.gridTitleFont.weight, 700);
    EXPECT_EQ(s.gridFont.face, "Arial");
    EXPECT_EQ(s.exeDirectory, dir.Dir());
}

TEST(SettingsFile, ValuesOverrideDefaultsAndBadColoursStayBlack) {
    test::TempDir dir;
    dir.Write("Setting.ini",
              "[color]\nLINECOLOR = \"10, 20, 30\"\nTextOnlineColor=1,2\nGridTextColor=1,2,3,4\n"
              "[FONT]\nfontname=" +
                  std::string(70, 'F') +
                  "\nGridFontHeight=big\n[Setting]\nretransmission_max=0\n"
                  "retransmission_interval=500\n");
    const Settings s = LoadSettings(dir.Dir());
    EXPECT_EQ(s.lineColor, Rgb(10, 20, 30));
    EXPECT_EQ(s.textOnlineColor, 0u);
    EXPECT_EQ(s.gridTextColor, 0u);
    EXPECT_EQ(s.fontName, std::string(63, 'F')) << "values are cut to 63 characters";
    EXPECT_EQ(s.gridFont.face, std::string(31, 'F')) << "grid fonts use at most 31 characters";
    EXPECT_EQ(s.gridFontHeight, 0);
    EXPECT_EQ(s.retransmissionMax, 0) << "0 is passed on: commands are sent once";
    EXPECT_EQ(s.retransmissionInterval, 500);
}

TEST(SettingsFile, BundledFileHoldsEveryDefault) {
    const Settings bundled = LoadSettings(RF_SOURCE_DIR "/bundle/");
    test::TempDir empty;
    Settings defaults = LoadSettings(empty.Dir());
    defaults.exeDirectory = bundled.exeDirectory;
    EXPECT_EQ(bundled.childBkColor, defaults.childBkColor);
    EXPECT_EQ(bundled.buttonMenuFontColor, defaults.buttonMenuFontColor);
    EXPECT_EQ(bundled.staticFontBkColor, defaults.staticFontBkColor);
    EXPECT_EQ(bundled.staticTextNumberColor, defaults.staticTextNumberColor);
    EXPECT_EQ(bundled.gridTitleBkColor, defaults.gridTitleBkColor);
    EXPECT_EQ(bundled.textOnlineColor, defaults.textOnlineColor);
    EXPECT_EQ(bundled.gridTitleFontHeight, defaults.gridTitleFontHeight);
    EXPECT_EQ(bundled.retransmissionMax, defaults.retransmissionMax);
    EXPECT_EQ(bundled.retransmissionInterval, defaults.retransmissionInterval);
}

} // namespace
} // namespace rf
