// The radios' TFTP download without sockets: a scripted server feeds datagrams, the test reads what the
// radio sent back and to which port.
#include "TftpFetch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace rf {
namespace {

constexpr uint16_t kRequestPort = 69;
constexpr uint16_t kTransferPort = 40000;

using Bytes = std::vector<uint8_t>;

Bytes Packet(uint16_t opcode, uint16_t word, const Bytes& rest = {}) {
    Bytes p(4 + rest.size());
    p[0] = static_cast<uint8_t>(opcode >> 8);
    p[1] = static_cast<uint8_t>(opcode);
    p[2] = static_cast<uint8_t>(word >> 8);
    p[3] = static_cast<uint8_t>(word);
    std::copy(rest.begin(), rest.end(), p.begin() + 4);
    return p;
}

Bytes Oack(const std::map<std::string, std::string>& options) {
    Bytes p{0, 6};
    for (const auto& [name, value] : options) {
        p.insert(p.end(), name.begin(), name.end());
        p.push_back(0);
        p.insert(p.end(), value.begin(), value.end());
        p.push_back(0);
    }
    return p;
}

Bytes Data(uint64_t block, const Bytes& content) {
    return Packet(3, static_cast<uint16_t>(block & 0xFFFF), content);
}

Bytes Image(size_t size) {
    Bytes image(size);
    for (size_t i = 0; i < size; ++i) {
        image[i] = static_cast<uint8_t>((i * 131 + i / 7) & 0xFF);
    }
    return image;
}

Bytes Slice(const Bytes& image, uint64_t block, size_t blockSize) {
    const size_t from = static_cast<size_t>((block - 1) * blockSize);
    const size_t to = std::min(image.size(), from + blockSize);
    return Bytes(image.begin() + static_cast<ptrdiff_t>(from), image.begin() + static_cast<ptrdiff_t>(to));
}

struct Sent {
    uint16_t port;
    Bytes bytes;
    uint16_t opcode() const { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }
    uint16_t word() const { return static_cast<uint16_t>(bytes[2] << 8 | bytes[3]); }
};

// A fetch whose sends are recorded.
struct Harness {
    explicit Harness(TftpFetch::Options options, std::string name = "fw-V4.0.bin")
        : fetch(std::move(name), kRequestPort, options, [this](uint16_t port, std::span<const uint8_t> p) {
              sent.push_back({port, Bytes(p.begin(), p.end())});
          }) {}

    // Acknowledgements sent since the last call, as block numbers.
    std::vector<uint16_t> TakeAcks() {
        std::vector<uint16_t> acks;
        for (const Sent& s : sent) {
            EXPECT_EQ(s.opcode(), 4);
            EXPECT_EQ(s.port, kTransferPort);
            acks.push_back(s.word());
        }
        sent.clear();
        return acks;
    }

    std::vector<Sent> sent;
    TftpFetch fetch;
};

std::vector<std::string> RequestTexts(const Bytes& request) {
    std::vector<std::string> texts;
    std::string current;
    for (size_t i = 2; i < request.size(); ++i) {
        if (request[i] == 0) {
            texts.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(request[i]);
        }
    }
    return texts;
}

TEST(TftpFetchRequest, AsksBlockSizeAndSizeAndWindowOnlyWhenConfigured) {
    Harness plain({});
    plain.fetch.Start(0);
    ASSERT_EQ(plain.sent.size(), 1u);
    EXPECT_EQ(plain.sent[0].port, kRequestPort);
    EXPECT_EQ(plain.sent[0].opcode(), 1);
    EXPECT_EQ(RequestTexts(plain.sent[0].bytes),
              (std::vector<std::string>{"fw-V4.0.bin", "octet", "blksize", "1468", "tsize", "0"}));

    TftpFetch::Options windowed;
    windowed.windowSize = 16;
    windowed.blockSize = 512;
    Harness asking(windowed);
    asking.fetch.Start(0);
    EXPECT_EQ(RequestTexts(asking.sent[0].bytes),
              (std::vector<std::string>{"fw-V4.0.bin", "octet", "blksize", "512", "tsize", "0", "windowsize",
                                        "16"}));
}

TEST(TftpFetchTransfer, LockStepAcknowledgesEveryBlockAndKeepsSizeAndChecksum) {
    const Bytes image = Image(1468 * 5 + 100);
    TftpFetch::Options options;
    options.expectedSize = image.size();
    Harness h(options);
    h.fetch.Start(0);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1468"}, {"tsize", std::to_string(image.size())}}),
                       1);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{0});
    for (uint64_t block = 1; block <= 6; ++block) {
        h.fetch.OnDatagram(kTransferPort, Data(block, Slice(image, block, 1468)), 2);
        EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{static_cast<uint16_t>(block)});
    }
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Complete);
    EXPECT_EQ(h.fetch.bytes(), image.size());
    EXPECT_EQ(h.fetch.checksum(), TftpFetch::Checksum(image));
    EXPECT_NE(TftpFetch::Checksum(image), TftpFetch::Checksum(Image(image.size() - 1)));
    EXPECT_EQ(h.fetch.head(), std::string(image.begin(), image.begin() + TftpFetch::kHeadSize))
        << "the image's first bytes are kept for the model check";
}

TEST(TftpFetchTransfer, WindowIsAcknowledgedAtItsEndAndAGapOnceWhereItBegan) {
    const Bytes image = Image(512 * 10 + 3);
    TftpFetch::Options options;
    options.blockSize = 512;
    options.windowSize = 4;
    Harness h(options);
    h.fetch.Start(0);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "512"}, {"windowsize", "4"}}), 1);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{0});
    for (uint64_t block = 1; block <= 4; ++block) {
        h.fetch.OnDatagram(kTransferPort, Data(block, Slice(image, block, 512)), 2);
    }
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{4});
    // Block 5 is lost: 6, 7 and 8 arrive; the radio says once that it holds 4.
    for (uint64_t block = 6; block <= 8; ++block) {
        h.fetch.OnDatagram(kTransferPort, Data(block, Slice(image, block, 512)), 3);
    }
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{4});
    for (uint64_t block = 5; block <= 11; ++block) {
        h.fetch.OnDatagram(kTransferPort, Data(block, Slice(image, block, 512)), 4);
    }
    EXPECT_EQ(h.TakeAcks(), (std::vector<uint16_t>{8, 11}));
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Complete);
    EXPECT_EQ(h.fetch.checksum(), TftpFetch::Checksum(image));
}

TEST(TftpFetchTransfer, BlockNumbersRollOverPast65535) {
    const size_t blockSize = 8;
    const uint64_t blocks = 65536 + 20;
    const Bytes image = Image(blockSize * (blocks - 1) + 5);
    TftpFetch::Options options;
    options.blockSize = blockSize;
    options.expectedSize = image.size();
    Harness h(options);
    h.fetch.Start(0);
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "8"}}), 0);
    for (uint64_t block = 1; block <= blocks; ++block) {
        h.fetch.OnDatagram(kTransferPort, Data(block, Slice(image, block, blockSize)), 0);
        ASSERT_EQ(h.sent.back().word(), static_cast<uint16_t>(block & 0xFFFF)) << block;
    }
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Complete);
    EXPECT_EQ(h.fetch.bytes(), image.size());
    EXPECT_EQ(h.fetch.checksum(), TftpFetch::Checksum(image));
}

TEST(TftpFetchTransfer, ServerThatIgnoresOptionsSends512ByteBlocks) {
    const Bytes image = Image(700);
    Harness h({});
    h.fetch.Start(0);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort, Data(1, Slice(image, 1, 512)), 1);
    h.fetch.OnDatagram(kTransferPort, Data(2, Slice(image, 2, 512)), 2);
    EXPECT_EQ(h.TakeAcks(), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Complete);
    EXPECT_EQ(h.fetch.blockSize(), 512);
    EXPECT_EQ(h.fetch.bytes(), 700u);
}

TEST(TftpFetchFailures, WrongSizesAndOptionsNotAskedForEndTheFetchAndTellTheServer) {
    struct Case {
        const char* what;
        Bytes oack;
    };
    const std::vector<Case> cases{
        {"other size offered", Oack({{"blksize", "1468"}, {"tsize", "999"}})},
        {"larger block than asked", Oack({{"blksize", "1500"}})},
        {"window not asked for", Oack({{"windowsize", "8"}})},
        {"unknown option", Oack({{"colour", "blue"}})},
        {"unterminated", Bytes{0, 6, 'b', 'l', 'k'}},
    };
    for (const Case& c : cases) {
        TftpFetch::Options options;
        options.expectedSize = 1000;
        Harness h(options);
        h.fetch.Start(0);
        h.sent.clear();
        h.fetch.OnDatagram(kTransferPort, c.oack, 1);
        EXPECT_EQ(h.fetch.state(), TftpFetch::State::Failed) << c.what;
        ASSERT_EQ(h.sent.size(), 1u) << c.what;
        EXPECT_EQ(h.sent[0].opcode(), 5) << c.what;
        EXPECT_EQ(h.sent[0].port, kTransferPort) << c.what;
        EXPECT_FALSE(h.fetch.error().empty()) << c.what;
    }

    TftpFetch::Options options;
    options.expectedSize = 1000;
    Harness longer(options);
    longer.fetch.Start(0);
    longer.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1468"}}), 1);
    longer.fetch.OnDatagram(kTransferPort, Data(1, Image(1468)), 2);
    EXPECT_EQ(longer.fetch.state(), TftpFetch::State::Failed) << "more than announced is refused at once";
    EXPECT_EQ(longer.sent.back().opcode(), 5);

    Harness oversized({});
    oversized.fetch.Start(0);
    oversized.fetch.OnDatagram(kTransferPort, Data(1, Image(600)), 1);
    EXPECT_EQ(oversized.fetch.state(), TftpFetch::State::Failed) << "a block longer than agreed";
}

TEST(TftpFetchFailures, ServerErrorEndsTheFetchWithItsMessage) {
    Harness h({});
    h.fetch.Start(0);
    h.sent.clear();
    Bytes message{'F', 'i', 'l', 'e', ' ', 'n', 'o', 't', ' ', 'f', 'o', 'u', 'n', 'd', 0};
    h.fetch.OnDatagram(kRequestPort, Packet(5, 1, message), 1);
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Failed);
    EXPECT_EQ(h.fetch.error(), "server error 1: File not found");
    EXPECT_TRUE(h.sent.empty()) << "an error is not answered";
    EXPECT_EQ(h.fetch.Deadline(), INT64_MAX);
}

TEST(TftpFetchFailures, StrangerGetsUnknownTransferIdAndChangesNothing) {
    const Bytes image = Image(100);
    Harness h({});
    h.fetch.Start(0);
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1468"}}), 1);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort + 1, Data(1, Image(1468)), 2);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].port, kTransferPort + 1);
    EXPECT_EQ(h.sent[0].opcode(), 5);
    EXPECT_EQ(h.sent[0].word(), 5);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort, Data(1, image), 3);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{1});
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Complete);
    EXPECT_EQ(h.fetch.checksum(), TftpFetch::Checksum(image));
}

TEST(TftpFetchTimers, SilenceResendsTheLastPacketUntilTheBudgetRunsOut) {
    TftpFetch::Options options;
    options.retransmitMs = 100;
    options.giveUpMs = 1000;
    Harness h(options);
    h.fetch.Start(0);
    const Bytes request = h.sent[0].bytes;
    EXPECT_EQ(h.fetch.Deadline(), 100);
    h.fetch.OnTimer(50);
    EXPECT_EQ(h.sent.size(), 1u) << "not due yet";
    h.fetch.OnTimer(100);
    ASSERT_EQ(h.sent.size(), 2u);
    EXPECT_EQ(h.sent[1].bytes, request);
    EXPECT_EQ(h.sent[1].port, kRequestPort);

    // Answered: now the lost acknowledgement is what goes again, to the transfer's port.
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1468"}}), 150);
    h.fetch.OnDatagram(kTransferPort, Data(1, Image(1468)), 200);
    h.sent.clear();
    h.fetch.OnTimer(300);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{1});
    h.fetch.OnDatagram(kTransferPort, Data(1, Image(1468)), 350);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{1}) << "a repeated block is acknowledged again";

    for (int64_t t = 400; t <= 1300 && h.fetch.Running(); t += 100) {
        h.fetch.OnTimer(t);
    }
    EXPECT_EQ(h.fetch.state(), TftpFetch::State::Failed);
    EXPECT_EQ(h.fetch.error(), "timed out");
    EXPECT_EQ(h.sent.back().opcode(), 5);
}

TEST(TftpFetchTimers, LostOptionAcknowledgementIsSentAgainWhenTheOptionsComeAgain) {
    Harness h({});
    h.fetch.Start(0);
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1024"}}), 1);
    h.sent.clear();
    h.fetch.OnDatagram(kTransferPort, Oack({{"blksize", "1024"}}), 2);
    EXPECT_EQ(h.TakeAcks(), std::vector<uint16_t>{0});
    EXPECT_EQ(h.fetch.blockSize(), 1024);
    EXPECT_TRUE(h.fetch.Running());
}

} // namespace
} // namespace rf
