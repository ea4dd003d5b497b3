#include "relayd/ServedDirectory.h"
#include "core/ServedFileName.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace rf {
namespace {

TEST(FileName, OnlyPlainNamesDirectlyInTheDirectoryPass) {
    for (const std::string& name :
         std::vector<std::string>{"fw.bin", "FW-1.2_final.BIN", "a", "name with blanks", ".hidden", "ü.bin",
                                  std::string(255, 'n')}) {
        EXPECT_TRUE(IsServableFileName(name)) << name;
    }
    for (const std::string& name : std::vector<std::string>{
             std::string(), std::string("../x"), std::string(".."), std::string("a..b"),
             std::string("/etc/passwd"), std::string("sub/fw.bin"), std::string("sub\\fw.bin"),
             std::string("C:\\fw.bin"), std::string("a\x01b"), std::string("a\nb"), std::string("tab\tname"),
             std::string("del\x7f"), std::string(256, 'n')}) {
        EXPECT_FALSE(IsServableFileName(name)) << name;
    }
}

class ServedDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        served_ = root_.Path() / "served";
        std::filesystem::create_directory(served_);
        root_.Write("secret", "outside");
        root_.Write("served/fw.bin", std::string(1000, 'x'));
        std::filesystem::create_symlink(root_.Path() / "secret", served_ / "link");
        std::filesystem::create_directory(served_ / "sub");
        ASSERT_EQ(::mkfifo((served_ / "pipe").c_str(), 0644), 0);
        ASSERT_TRUE(directory_.Open(served_.string()));
    }
    void ExpectRefused(const std::string& name, tftp::ErrorCode code) {
        const auto file = directory_.OpenFile(name);
        EXPECT_FALSE(file.Ok()) << name;
        EXPECT_EQ(file.error, code) << name;
        if (file.Ok()) {
            ::close(file.fd);
        }
    }

    test::TempDir root_;
    std::filesystem::path served_;
    CServedDirectory directory_;
};

TEST_F(ServedDirectoryTest, OpensRegularFilesWithTheirSize) {
    const auto file = directory_.OpenFile("fw.bin");
    ASSERT_TRUE(file.Ok());
    EXPECT_EQ(file.size, 1000u);
    ::close(file.fd);
    ExpectRefused("missing.bin", tftp::kFileNotFound);
}

TEST_F(ServedDirectoryTest, RefusesLinksDirectoriesFifosDevicesAndEscapes) {
    ExpectRefused("link", tftp::kAccessViolation);
    ExpectRefused("sub", tftp::kAccessViolation);
    ExpectRefused("pipe", tftp::kAccessViolation); // and does not block waiting for a writer
    ExpectRefused("../secret", tftp::kAccessViolation);
    ExpectRefused((root_.Path() / "secret").string(), tftp::kAccessViolation);
    ExpectRefused(".", tftp::kAccessViolation);
    if (::mknod((served_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        ExpectRefused("null", tftp::kAccessViolation);
    }
}

TEST_F(ServedDirectoryTest, AMissingDirectoryCannotBeOpened) {
    CServedDirectory other;
    EXPECT_FALSE(other.Open((root_.Path() / "nowhere").string()));
    EXPECT_FALSE(other.Open((root_.Path() / "secret").string())) << "a file is not a directory";
}

} // namespace
} // namespace rf
