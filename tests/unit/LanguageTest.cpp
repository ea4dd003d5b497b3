#include "core/Language.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("Languages/Language.ini", "[LCID]\n2052=Chinese\n1033=English\n1031=\n");
        dir_.Write("Languages/English.lng",
                   "[ProgramOutStr]\nplease SELECT the Devices!=Pick some radios first.\n"
                   "Two Lines=first\\r\\nsecond\nOne=a\\nb\nBlank=[~Null~]\nGone=[~NullInfoChrys~]\n"
                   "Mixed=x[~NullInfoChrys~]y[~Null~]z\nEmpty=\nVEZEzizozodud=RadioFleet\n");
        dir_.Write("Languages/Chinese.lng", "[ProgramOutStr]\nOnline=\xE5\x9C\xA8\xE7\xBA\xBF\n");
        SetLanguageIdOverride(1033);
        LoadLanguage(dir_.Dir());
    }
    void TearDown() override { SetLanguageIdOverride(0); }

    test::TempDir dir_;
};

TEST_F(LanguageTest, LookupIsCaseInsensitiveAndFallsBackToTheKey) {
    EXPECT_EQ(Translate("Please select the devices!"), "Pick some radios first.");
    EXPECT_EQ(Translate("PLEASE SELECT THE DEVICES!"), "Pick some radios first.");
    EXPECT_EQ(Translate("Not In The File"), "Not In The File") << "case of the key is kept";
    EXPECT_EQ(Translate("Empty"), "Empty") << "an empty value falls back to the key";
    EXPECT_EQ(Translate(""), "");
    EXPECT_EQ(Translate("VEZEzizozodud"), "RadioFleet");
}

TEST_F(LanguageTest, EscapesAreReplacedInOrder) {
    EXPECT_EQ(Translate("Two Lines"), "first\r\nsecond");
    EXPECT_EQ(Translate("One"), "a\nb");
    EXPECT_EQ(Translate("Blank"), " ");
    EXPECT_EQ(Translate("Gone"), "");
    EXPECT_EQ(Translate("Mixed"), "xy z");
    EXPECT_EQ(Translate("key\\nwith escape"), "key\nwith escape") << "a key that falls back is escaped too";
}

TEST_F(LanguageTest, IndexChoosesTheFileAndUnknownIdsFallBackToEnglish) {
    SetLanguageIdOverride(2052);
    LoadLanguage(dir_.Dir());
    EXPECT_EQ(GetLanguageId(), 2052);
    EXPECT_EQ(Translate("Online"), "\xE5\x9C\xA8\xE7\xBA\xBF");
    EXPECT_EQ(Translate("Please select the devices!"), "Please select the devices!");

    SetLanguageIdOverride(1031); // listed with an empty name
    EXPECT_EQ(GetSystemLanguageName(), "English");
    EXPECT_EQ(GetLanguageId(), 1033);
    SetLanguageIdOverride(1049); // not listed
    EXPECT_EQ(GetSystemLanguageName(), "English");
    EXPECT_EQ(GetLanguageId(), 1033);
}

TEST_F(LanguageTest, MissingFilesShowTheKeys) {
    test::TempDir empty;
    SetLanguageIdOverride(2052);
    LoadLanguage(empty.Dir());
    EXPECT_EQ(GetLanguageId(), 1033);
    EXPECT_EQ(Translate("Online"), "Online");
    LoadLanguage(dir_.Dir());
    SetLanguage("Klingon");
    EXPECT_EQ(Translate("Online"), "Online");
    SetLanguage("");
    EXPECT_EQ(Translate("One"), "a\nb") << "an empty name means English";
}

TEST(LanguageLocale, PosixLocalesMapToWindowsIds) {
    EXPECT_EQ(LanguageIdFromLocale("zh_CN.UTF-8"), 2052);
    EXPECT_EQ(LanguageIdFromLocale("zh_SG"), 2052);
    EXPECT_EQ(LanguageIdFromLocale("zh_TW.UTF-8"), 1028);
    EXPECT_EQ(LanguageIdFromLocale("en_GB.UTF-8"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("en_AU@euro"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("de_DE.UTF-8"), 1031);
    EXPECT_EQ(LanguageIdFromLocale("C.UTF-8"), 1033);
    EXPECT_EQ(LanguageIdFromLocale("POSIX"), 1033);
}

TEST(LanguageLocale, EnvironmentOrderIsLcAllThenLcMessagesThenLang) {
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ::setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    ::setenv("LC_ALL", "", 1);
    EXPECT_EQ(SystemLanguageId(), 2052);
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(SystemLanguageId(), 1036);
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(SystemLanguageId(), 1031);
    ::unsetenv("LANG");
    EXPECT_EQ(SystemLanguageId(), 1033);
}

TEST(LanguageFiles, BundledFilesCarryTheSameKeys) {
    SetLanguageIdOverride(2052);
    LoadLanguage(RF_SOURCE_DIR "/bundle/");
    EXPECT_EQ(GetLanguageId(), 2052);
    EXPECT_EQ(Translate("VEZEzizozodud"), "RadioFleet");
    EXPECT_NE(Translate("Online"), "Online");
    // The management list's button column has a caption of its own; the status list's is its web link.
    EXPECT_EQ(Translate("Operate column"), "\xE6\x93\x8D\xE4\xBD\x9C");
    SetLanguageIdOverride(1033);
    LoadLanguage(RF_SOURCE_DIR "/bundle/");
    EXPECT_EQ(Translate("VEZEzizozodud"), "RadioFleet");
    EXPECT_EQ(Translate("Operate column"), "Operate");
    EXPECT_EQ(Translate("Operate"), "Web");
    SetLanguageIdOverride(0);
}

} // namespace
} // namespace rf
