#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rf {

// One firmware image read by TFTP the way radio firmware does it: a read request in octet mode asking
// blksize and tsize (and windowsize when configured), an acknowledgement per window, and the last packet
// sent again while the server stays silent. Nothing is stored: the radio keeps the size and a checksum of
// what arrived. No sockets here: datagrams come in through OnDatagram, time through OnTimer, and what to
// send goes out through the sender, with the server port it is for.
class TftpFetch {
public:
    using Sender = std::function<void(uint16_t port, std::span<const uint8_t> packet)>;

    struct Options {
        uint16_t blockSize = 1468;
        uint16_t windowSize = 0; // 0: not asked for, one block per acknowledgement
        // The size the PC announced: a server that offers another size, or sends more, ends the fetch.
        std::optional<uint64_t> expectedSize;
        int64_t retransmitMs = 500;
        int64_t giveUpMs = 20000; // without progress
    };

    enum class State { Running, Complete, Failed };

    TftpFetch(std::string fileName, uint16_t serverPort, Options options, Sender send);

    void Start(int64_t nowMs);
    void OnDatagram(uint16_t fromPort, std::span<const uint8_t> packet, int64_t nowMs);
    // Call once nowMs has reached Deadline().
    void OnTimer(int64_t nowMs);

    int64_t Deadline() const { return deadline_; }
    State state() const { return state_; }
    bool Running() const { return state_ == State::Running; }
    uint64_t bytes() const { return bytes_; }
    uint64_t checksum() const { return checksum_; }
    // The first bytes of the image (up to kHeadSize), where a radio looks for the model it is meant for.
    const std::string& head() const { return head_; }
    static constexpr size_t kHeadSize = 64;
    const std::string& error() const { return error_; }
    uint16_t blockSize() const { return blockSize_; }
    uint16_t windowSize() const { return window_; }

    // The checksum kept over the received bytes (64-bit FNV-1a), from its start value.
    static uint64_t Checksum(std::span<const uint8_t> bytes, uint64_t start = kChecksumStart);
    static constexpr uint64_t kChecksumStart = 0xcbf29ce484222325ULL;

private:
    void OnOptionAck(std::span<const uint8_t> packet, int64_t nowMs);
    void OnData(std::span<const uint8_t> packet, int64_t nowMs);
    bool TakeOption(const std::string& name, const std::string& value);
    void Acknowledge(uint64_t block);
    void Progress(int64_t nowMs);
    void Fail(std::string why, std::optional<uint16_t> tellServer);
    void Send(uint16_t port, const std::vector<uint8_t>& packet);

    std::string fileName_;
    uint16_t requestPort_;
    Options options_;
    Sender send_;

    State state_ = State::Running;
    uint16_t serverPort_ = 0; // the transfer's port, known from the server's first answer
    uint16_t blockSize_ = 512;
    uint16_t window_ = 1;
    bool started_ = false;  // the server answered
    uint64_t received_ = 0; // blocks held, in order
    uint64_t acked_ = 0;
    bool resynced_ = false; // told the server where we are since the last block in order
    uint64_t bytes_ = 0;
    uint64_t checksum_ = kChecksumStart;
    std::string head_;
    std::vector<uint8_t> last_; // the request, then the last acknowledgement
    int64_t lastProgressMs_ = 0;
    int64_t deadline_ = INT64_MAX;
    std::string error_;
};

} // namespace rf
