#include "relayd/RelaydMessage.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using Kind = RelaydMessage::Kind;

// Every line reads back as what was written, also with a file name of blanks, '%' and a line break, and a
// reason with a line break, which must not split the line.
TEST(RelaydMessage, LinesReadBackAsWrittenAndOddTextStaysOnOneLine) {
    const std::vector<RelaydMessage> messages = {
        {.kind = Kind::Allow, .addresses = {"10.0.0.5", "10.0.0.6"}},
        {.kind = Kind::Allow},
        {.kind = Kind::Started},
        {.kind = Kind::Listening, .port = 69},
        {.kind = Kind::Progress, .address = "10.0.0.5", .file = "fw 2.bin", .bytes = 4096, .total = 31457280},
        {.kind = Kind::Done, .address = "10.0.0.5", .file = "100%\nfw.bin"},
        {.kind = Kind::Failed, .address = "10.0.0.6", .file = "fw.bin", .text = "client never acknowledged"},
        {.kind = Kind::Error, .text = "UDP port 69 is already in use"},
    };
    for (const RelaydMessage& message : messages) {
        const std::string line = message.Format();
        ASSERT_EQ(line.find('\n'), line.size() - 1) << line;
        const auto parsed = RelaydMessage::Parse(line.substr(0, line.size() - 1));
        ASSERT_TRUE(parsed) << line;
        EXPECT_EQ(*parsed, message) << line;
    }
    EXPECT_EQ(messages[0].Format(), "allow 10.0.0.5 10.0.0.6\n");
    EXPECT_EQ(messages[4].Format(), "progress 10.0.0.5 fw%202.bin 4096 31457280\n");
    RelaydMessage broken{.kind = Kind::Failed, .address = "10.0.0.6", .file = "f", .text = "a\nb"};
    EXPECT_EQ(broken.Format(), "failed 10.0.0.6 f a?b\n");
}

TEST(RelaydMessage, LinesThatAreNotOnesOfOursAreRefused) {
    for (const char* line :
         {"", "hello", "started now", "listening", "listening 0", "listening 70000", "listening x",
          "progress 10.0.0.5 fw.bin 12", "progress 10.0.0.5 fw.bin a 3", "done 10.0.0.5",
          "done 10.0.0.5 fw.bin extra", "done 10.0.0.5 bad%2", "failed"}) {
        EXPECT_FALSE(RelaydMessage::Parse(line)) << line;
    }
}

} // namespace
} // namespace rf
