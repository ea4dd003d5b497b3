#include "protocol/NetManagement.h"

#include "core/ExeDirectory.h"
#include "protocol/NicscanLibrary.h"
#include "protocol/SteadyEngineClock.h"
#include "store/SqlManagement.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <pthread.h>

namespace rf {

// Sends through the engine's sockets: searches from the search socket, packets for devices from the
// heartbeat socket. That socket is bound to port 9787 on every address, so one long-lived socket serves
// every adapter, the source address and interface being chosen per datagram.
class CNetManagement::SocketSender : public IPacketSender {
public:
    explicit SocketSender(CNetManagement& engine) : engine_(engine) {}

    bool SendSearch(in_addr_t destination, std::span<const std::uint8_t> datagram) override {
        return engine_.searchSocket_.IsOpen() &&
               engine_.searchSocket_.SendTo(destination, kSearchPort, datagram);
    }
    bool SendToDevice(const LocalAddress& via, std::span<const std::uint8_t> datagram) override {
        static const in_addr_t group = inet_addr(kMulticastGroup);
        return engine_.heartbeatSocket_.IsOpen() &&
               engine_.heartbeatSocket_.SendFrom(via.ip, via.interfaceIndex, group, kHeartbeatPort, datagram);
    }

private:
    CNetManagement& engine_;
};

namespace {

// Engine threads are named "rf-..." so that they can be told apart in a debugger or in /proc.
void NameThisThread(const char* name) {
    ::pthread_setname_np(::pthread_self(), name);
}

} // namespace

CNetManagement::CNetManagement(CSqlManagement& store, std::unique_ptr<IAdapterSource> adapters,
                               std::unique_ptr<IPacketSender> sender, std::shared_ptr<IEngineClock> clock)
    : store_(store), adapterSource_(std::move(adapters)),
      ownSender_(sender ? std::move(sender) : std::make_unique<SocketSender>(*this)),
      sender_(ownSender_.get()), clock_(clock ? std::move(clock) : std::make_shared<SteadyEngineClock>()) {}

CNetManagement::~CNetManagement() {
    Stop();
}

bool CNetManagement::Start(int retransmissionMax, int retransmissionInterval) {
    StopWorkers();
    startError_.clear();
    if (!portLock_.Acquire() && portLock_.HeldElsewhere()) {
        startError_ = "RadioFleet is already running in this network namespace (the UDP ports " +
                      std::to_string(kAnnouncePort) + "-" + std::to_string(kReplyPort) + " are in use)";
        return false;
    }
    if (retransmissionInterval < kMinRetransmissionInterval) {
        std::fprintf(stderr, "retransmission_interval %d ms is below %d ms; using %d ms\n",
                     retransmissionInterval, kMinRetransmissionInterval, kMinRetransmissionInterval);
        retransmissionInterval = kMinRetransmissionInterval;
    }
    retransmissionMax_ = retransmissionMax;
    retransmissionInterval_ = retransmissionInterval;
    if (!OpenSockets()) {
        portLock_.Release();
        return false;
    }
    StartWorkers();
    running_ = true;

    std::vector<AdapterRecord> adapters;
    RefreshAdapters(adapters);
    return true;
}

bool CNetManagement::OpenSockets() {
    CloseSockets(); // those of an earlier start: nobody, not even this engine, shares the ports
    std::string error;
    auto search = UdpSocket::Make({kSearchPort, true, kSearchBufferSize, kSearchBufferSize}, &error);
    auto announce = search
                        ? UdpSocket::Make({kAnnouncePort, false, kSearchBufferSize, kReplyBufferSize}, &error)
                        : std::nullopt;
    auto heartbeat =
        announce ? UdpSocket::Make({kHeartbeatPort, false, kSearchBufferSize, kReplyBufferSize}, &error)
                 : std::nullopt;
    auto reply = heartbeat ? UdpSocket::Make({kReplyPort, false, kReplyBufferSize, kReplyBufferSize}, &error)
                           : std::nullopt;
    if (reply && !heartbeat->ConfigureMulticastSending()) {
        error =
            std::string("port ") + std::to_string(kHeartbeatPort) + ": multicast: " + std::strerror(errno);
        reply.reset();
    }
    if (!reply) {
        startError_ = "cannot open the UDP ports " + std::to_string(kAnnouncePort) + "-" +
                      std::to_string(kReplyPort) + " (" + error + ")";
        return false;
    }
    searchSocket_ = std::move(*search);
    announceSocket_ = std::move(*announce);
    heartbeatSocket_ = std::move(*heartbeat);
    replySocket_ = std::move(*reply);
    return true;
}

void CNetManagement::StartWorkers() {
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-announce-rx");
        ReceiveLoop(stop, announceSocket_, ReceiveSocket::Announce, announceQueue_);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-heartbeat-rx");
        ReceiveLoop(stop, heartbeatSocket_, ReceiveSocket::Heartbeat, heartbeatQueue_);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-reply-rx");
        ReceiveLoop(stop, replySocket_, ReceiveSocket::Reply, replyQueue_);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-announce");
        ProcessLoop(stop, announceQueue_, &CNetManagement::OnAnnounce);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-heartbeat");
        ProcessLoop(stop, heartbeatQueue_, &CNetManagement::OnHeartbeat);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-reply");
        ProcessLoop(stop, replyQueue_, &CNetManagement::DispatchReply);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-ageing");
        AgeingLoop(stop);
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-retransmit");
        // Wakes often enough for a request with a short interval recorded while it waits.
        while (
            clock_->WaitUntil(stop, std::min(RetransmitPass(), clock_->Now() + kDetailsRetryInterval / 2))) {
        }
    });
}

void CNetManagement::AgeingLoop(std::stop_token stop) {
    auto next = clock_->Now() + kAgeingPeriod;
    while (clock_->WaitUntil(stop, next)) {
        AgeOnlineList();
        next += kAgeingPeriod;
        // Passes missed while the machine was suspended are not made up.
        if (const auto now = clock_->Now(); next <= now) {
            next = now + kAgeingPeriod;
        }
    }
}

void CNetManagement::StopWorkers() {
    for (auto& worker : workers_) {
        worker.request_stop();
    }
    announceSocket_.ShutdownReceive();
    heartbeatSocket_.ShutdownReceive();
    replySocket_.ShutdownReceive();
    workers_.clear(); // joins
    announceQueue_.Clear();
    heartbeatQueue_.Clear();
    replyQueue_.Clear();
    running_ = false;
}

void CNetManagement::Stop() {
    StopWorkers();
    std::vector<OnlineEntry> online;
    {
        std::lock_guard lock(onlineListLock_);
        online = onlineList_.TakeAll();
    }
    for (const auto& entry : online) {
        SendLeave(entry);
    }
    CloseSockets();
    portLock_.Release();
    EndAllPending();
}

void CNetManagement::CloseSockets() {
    searchSocket_.Close();
    announceSocket_.Close();
    heartbeatSocket_.Close();
    replySocket_.Close();
}

void CNetManagement::SendLeave(const OnlineEntry& entry) {
    SendCommand(entry.ip, static_cast<int>(MessageType::Leave), {}, entry.mac, false);
}

void CNetManagement::ReceiveLoop(std::stop_token stop, UdpSocket& socket, ReceiveSocket kind,
                                 ReceiveQueue<ReceivedPacket>& queue) {
    std::array<std::uint8_t, kMaxDatagram + 1> buffer{};
    while (!stop.stop_requested()) {
        const auto received = socket.Receive(buffer);
        if (stop.stop_requested()) {
            return;
        }
        if (!received || received->size > kMaxDatagram) {
            continue; // an error, or a datagram too large to be ours
        }
        const auto datagram = std::span<const std::uint8_t>(buffer).first(received->size);
        if (AcceptDatagram(kind, datagram)) {
            queue.Push(ReceivedPacket::Make(received->from.sin_addr.s_addr, ntohs(received->from.sin_port),
                                            datagram));
        }
    }
}

void CNetManagement::ProcessLoop(std::stop_token stop, ReceiveQueue<ReceivedPacket>& queue,
                                 void (CNetManagement::*handler)(const ReceivedPacket&)) {
    while (!stop.stop_requested()) {
        const auto packets = queue.WaitAndTakeAll(stop);
        // What a burst of packets writes into the store goes into it in a few transactions.
        store_.BeginWrites();
        for (size_t handled = 0; handled < packets.size() && !stop.stop_requested(); ++handled) {
            (this->*handler)(packets[handled]);
            if ((handled + 1) % kPacketsPerTransaction == 0) {
                ForgetLostWrites(store_.EndWrites());
                store_.BeginWrites();
            }
        }
        ForgetLostWrites(store_.EndWrites());
    }
}

// Devices whose details a lost transaction held are asked for them again.
void CNetManagement::ForgetLostWrites(const std::vector<std::string>& macs) {
    for (const auto& mac : macs) {
        ForgetDetails(mac);
    }
}

std::vector<OnlineEntry> CNetManagement::OnlineList() const {
    std::lock_guard lock(onlineListLock_);
    return onlineList_.Entries();
}

int CNetManagement::OnlineCount() const {
    std::lock_guard lock(onlineListLock_);
    return static_cast<int>(onlineList_.Entries().size());
}

std::vector<PendingRequest> CNetManagement::PendingRequests() const {
    std::lock_guard lock(pendingLock_);
    return {pendingRequests_.begin(), pendingRequests_.end()};
}

CNetManagement& GetEngine() {
    static CNetManagement engine(CSqlManagement::GetInstance(),
                                 std::make_unique<NicscanLibrary>(GetExeDirectory() + kNicscanLibraryName));
    return engine;
}

} // namespace rf
