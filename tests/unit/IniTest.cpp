#include "core/IniDocument.h"
#include "core/OperateFileIni.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace rf {
namespace {

TEST(IniRead, NamesIgnoreCaseAndValuesLoseBlanksAndOneQuotePair) {
    const auto doc = IniDocument::Parse("[Color]\r\n  ChildBkColor =  \"1,2,3\"  \r\nName='it''s'\n"
                                        "Double=\"\"x\"\"\n[other]\nk=v\n");
    EXPECT_EQ(doc.Get("color", "CHILDBKCOLOR"), "1,2,3");
    EXPECT_EQ(doc.Get("COLOR", "name"), "it''s");
    EXPECT_EQ(doc.Get("Color", "Double"), "\"x\"");
    EXPECT_EQ(doc.Get("Color", "k"), std::nullopt);
    EXPECT_EQ(doc.Get("Other", "K"), "v");
}

TEST(IniRead, FirstKeyAndFirstSectionWinAndCommentsAreSkipped) {
    const auto doc =
        IniDocument::Parse("\xEF\xBB\xBF[s]\n;k=comment\nk=first\nk=second\n[s]\nk=third\nj=4\n");
    EXPECT_EQ(doc.Get("s", "k"), "first");
    EXPECT_EQ(doc.Get("s", "j"), std::nullopt);
}

TEST(IniRead, BufferLimitCutsWholeCharacters) {
    test::TempDir dir;
    dir.Write("a.ini", "[s]\nlong=" + std::string(70, 'x') + "\ncjk=\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\n");
    const auto path = dir.Dir() + "a.ini";
    EXPECT_EQ(COperateFileIni::ReadString(path, "s", "long", "", 64), std::string(63, 'x'));
    EXPECT_EQ(COperateFileIni::ReadString(path, "s", "cjk", "", 3), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(COperateFileIni::ReadString(path, "s", "missing", "dflt", 64), "dflt");
    EXPECT_EQ(COperateFileIni::ReadString(dir.Dir() + "none.ini", "s", "long", "d", 64), "d");
}

TEST(IniWrite, ReplacesOneKeyAndKeepsTheRest) {
    test::TempDir dir;
    dir.Write("Relayd.ini",
              "; server settings\n[SERVER]\nDirectory=/old\nPort=6969\n\n[Other]\nDirectory=keep\n");
    const auto path = dir.Dir() + "Relayd.ini";
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(COperateFileIni::WriteString("server", "DIRECTORY", "/new/firmware dir", path));
    const auto doc = IniDocument::Parse(dir.Read("Relayd.ini"));
    EXPECT_EQ(doc.Get("SERVER", "Directory"), "/new/firmware dir");
    EXPECT_EQ(doc.Get("SERVER", "Port"), "6969");
    EXPECT_EQ(doc.Get("Other", "Directory"), "keep");
    EXPECT_NE(dir.Read("Relayd.ini").find("; server settings"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "no temporary file left";
}

TEST(IniWrite, AddsKeysAndSectionsAndCreatesTheFile) {
    test::TempDir dir;
    const auto path = dir.Dir() + "new.ini";
    ASSERT_TRUE(COperateFileIni::WriteString("SERVER", "Directory", "/srv", path));
    ASSERT_TRUE(COperateFileIni::WriteString("SERVER", "Port", "69", path));
    ASSERT_TRUE(COperateFileIni::WriteString("Extra", "a", "b", path));
    const auto doc = IniDocument::Parse(dir.Read("new.ini"));
    EXPECT_EQ(doc.Get("SERVER", "Directory"), "/srv");
    EXPECT_EQ(doc.Get("SERVER", "Port"), "69");
    EXPECT_EQ(doc.Get("Extra", "a"), "b");
}

TEST(IniWrite, RefusesWhatCouldNotBeReadBack) {
    test::TempDir dir;
    const auto path = dir.Dir() + "x.ini";
    EXPECT_FALSE(COperateFileIni::WriteString("s", "k=1", "v", path));
    EXPECT_FALSE(COperateFileIni::WriteString("s", "k", "two\nlines", path));
    EXPECT_FALSE(COperateFileIni::WriteString("s", "k", "v", dir.Dir() + "missing/dir/x.ini"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace rf
