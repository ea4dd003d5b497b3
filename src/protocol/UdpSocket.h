#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <optional>
#include <span>
#include <string>

namespace rf {

// An IPv4 UDP socket owned by value: closed when destroyed or replaced.
class UdpSocket {
public:
    struct Options {
        std::uint16_t port = 0;
        bool broadcast = false;
        int sendBuffer = 0;
        int receiveBuffer = 0;
        in_addr_t bindAddress = INADDR_ANY; // network byte order
        // Off for the program's own ports, so that nobody can silently share them.
        bool reuseAddress = false;
    };

    UdpSocket() = default;
    ~UdpSocket() { Close(); }
    UdpSocket(UdpSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Creates and binds a socket: address reuse when asked, broadcast when asked, the buffer sizes, then
    // the bind. A receive buffer the system caps below the size asked is forced (which takes
    // CAP_NET_ADMIN); when it stays short, stderr says what was obtained. Any failed step closes the
    // socket again and gives an empty result, with error (when given) telling which step and why.
    static std::optional<UdpSocket> Make(const Options& options, std::string* error = nullptr);

    bool IsOpen() const { return fd_ >= 0; }
    // The receive buffer as the system reports it: twice the size granted, as Linux counts its own
    // bookkeeping in it. 0 when the socket is not open.
    int ReceiveBufferSize() const;
    int Fd() const { return fd_; }
    void Close();

    // Wakes a thread blocked in Receive (it then returns nullopt); sending still works afterwards.
    void ShutdownReceive();

    // One datagram into buffer; its size (possibly larger than the buffer: then it was cut) and sender.
    struct Received {
        size_t size = 0;
        sockaddr_in from{};
    };
    std::optional<Received> Receive(std::span<std::uint8_t> buffer);

    bool SendTo(in_addr_t address, std::uint16_t port, std::span<const std::uint8_t> datagram);
    // Sends with the given source address and out of the given interface (0: chosen by the source).
    bool SendFrom(in_addr_t source, unsigned interfaceIndex, in_addr_t address, std::uint16_t port,
                  std::span<const std::uint8_t> datagram);

    // Multicast sends leave with TTL 1 and are not looped back to this host.
    bool ConfigureMulticastSending();

private:
    explicit UdpSocket(int fd) : fd_(fd) {}
    void GrowReceiveBuffer(int wanted);
    int fd_ = -1;
};

// "a.b.c.d" -> address in network byte order; nullopt for anything else.
std::optional<in_addr_t> ParseIpv4(const std::string& text);
std::string Ipv4Text(in_addr_t address);

} // namespace rf
