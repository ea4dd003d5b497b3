#include "protocol/NetManagement.h"

#include "core/ExeDirectory.h"
#include "protocol/NicscanLibrary.h"
#include "store/SqlManagement.h"

#include <arpa/inet.h>
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
                               std::unique_ptr<IPacketSender> sender)
    : store_(store), adapterSource_(std::move(adapters)),
      ownSender_(sender ? std::move(sender) : std::make_unique<SocketSender>(*this)),
      sender_(ownSender_.get()) {}

CNetManagement::~CNetManagement() {
    Stop();
}

bool CNetManagement::Start(int retransmissionMax, int retransmissionInterval) {
    StopWorkers();
    retransmissionMax_ = retransmissionMax;
    retransmissionInterval_ = retransmissionInterval;

    auto search = UdpSocket::Make({kSearchPort, true, kSearchBufferSize, kSearchBufferSize});
    auto announce = UdpSocket::Make({kAnnouncePort, false, kSearchBufferSize, kSearchBufferSize});
    auto heartbeat = UdpSocket::Make({kHeartbeatPort, false, kSearchBufferSize, kSearchBufferSize});
    auto reply = UdpSocket::Make({kReplyPort, false, kReplyBufferSize, kReplyBufferSize});
    if (!search || !announce || !heartbeat || !reply || !heartbeat->ConfigureMulticastSending()) {
        return false;
    }
    searchSocket_ = std::move(*search);
    announceSocket_ = std::move(*announce);
    heartbeatSocket_ = std::move(*heartbeat);
    replySocket_ = std::move(*reply);

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
        while (SleepFor(stop, kAgeingPeriod)) {
            AgeOnlineList();
        }
    });
    workers_.emplace_back([this](std::stop_token stop) {
        NameThisThread("rf-retransmit");
        while (SleepFor(stop, std::chrono::milliseconds(retransmissionInterval_.load()))) {
            RetransmitPass();
        }
    });
    running_ = true;

    std::vector<AdapterRecord> adapters;
    RefreshAdapters(adapters);
    return true;
}

void CNetManagement::StopWorkers() {
    for (auto& worker : workers_) {
        worker.request_stop();
    }
    {
        std::lock_guard lock(sleepLock_); // no sleeper can miss the wake-up between its check and its wait
    }
    sleepWake_.notify_all();
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
        online.swap(onlineList_);
    }
    for (const auto& entry : online) {
        SendLeave(entry);
    }
    std::vector<PendingRequest> pending;
    {
        std::lock_guard lock(pendingLock_);
        pending.swap(pendingRequests_);
    }
    for (const PendingRequest& request : pending) {
        if (request.onDone) {
            request.onDone(RequestEnd{RequestEnd::How::Stopped, 0});
        }
    }
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
        for (const auto& packet : queue.WaitAndTakeAll(stop)) {
            if (stop.stop_requested()) {
                return;
            }
            (this->*handler)(packet);
        }
    }
}

bool CNetManagement::SleepFor(std::stop_token stop, std::chrono::milliseconds period) {
    std::unique_lock lock(sleepLock_);
    return !sleepWake_.wait_for(lock, stop, period, [] { return false; }) && !stop.stop_requested();
}

void CNetManagement::RetransmitTick() {
    {
        std::unique_lock lock(sleepLock_);
        sleepWake_.wait_for(lock, std::chrono::milliseconds(retransmissionInterval_.load()));
    }
    RetransmitPass();
}

std::vector<OnlineEntry> CNetManagement::OnlineList() const {
    std::lock_guard lock(onlineListLock_);
    return onlineList_;
}

std::vector<PendingRequest> CNetManagement::PendingRequests() const {
    std::lock_guard lock(pendingLock_);
    return pendingRequests_;
}

CNetManagement& GetEngine() {
    static CNetManagement engine(CSqlManagement::GetInstance(),
                                 std::make_unique<NicscanLibrary>(GetExeDirectory() + kNicscanLibraryName));
    return engine;
}

} // namespace rf
