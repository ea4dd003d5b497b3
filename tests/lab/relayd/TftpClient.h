#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace rf::test {

// A small TFTP client for tests: reads one file with the options asked for, counting what it receives.
class TftpClient {
public:
    struct Options {
        std::optional<uint16_t> blockSize;
        std::optional<uint64_t> transferSize;
        std::optional<uint8_t> timeoutSeconds;
        std::optional<uint16_t> windowSize;
        std::string mode = "octet";
        std::chrono::milliseconds retransmit{300};
        std::chrono::milliseconds giveUp{20000};
        bool ackTwice = false; // every acknowledgement is sent twice
        bool dally = false;    // after the last block, stay a while to answer a resent last block
        // Called with each block number received in order, before it is acknowledged.
        std::function<void(uint64_t block, uint16_t serverPort)> onBlock;
    };

    struct Result {
        bool complete = false;
        std::optional<uint16_t> errorCode;
        std::string errorMessage;
        std::string data;
        std::map<std::string, std::string> oack;
        uint64_t dataPackets = 0;      // every data packet received
        uint64_t duplicatePackets = 0; // data packets for blocks already held
        uint16_t serverPort = 0;
    };

    // localAddress lets a test pose as several hosts on the loopback network.
    TftpClient(std::string serverAddress, uint16_t serverPort, std::string localAddress = "127.0.0.1");
    ~TftpClient();
    TftpClient(const TftpClient&) = delete;
    TftpClient& operator=(const TftpClient&) = delete;

    Result Get(const std::string& fileName, const Options& options);
    Result Get(const std::string& fileName) { return Get(fileName, Options{}); }

private:
    int socket_ = -1;
    std::string serverAddress_;
    uint16_t serverPort_;
};

// A raw request packet: opcode, name, mode, then option name/value pairs.
std::string MakeRequest(uint16_t opcode, const std::string& name, const std::string& mode,
                        const std::map<std::string, std::string>& options = {});

// One UDP socket on the loopback network for hand-made exchanges.
class UdpPeer {
public:
    explicit UdpPeer(const std::string& localAddress = "127.0.0.1");
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    void SendTo(const std::string& address, uint16_t port, const std::string& packet);
    // The next datagram within timeout, and the port it came from.
    std::optional<std::string> Receive(std::chrono::milliseconds timeout, uint16_t* fromPort = nullptr);
    uint16_t Port() const;

private:
    int socket_ = -1;
};

uint16_t Opcode(const std::string& packet);
uint16_t Word(const std::string& packet, size_t offset); // big-endian field at offset
std::string Ack(uint16_t block);

} // namespace rf::test
