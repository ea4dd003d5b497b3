#pragma once

#include "protocol/AdapterSource.h"
#include "protocol/ApInfo.h"
#include "protocol/OnlineEntry.h"
#include "protocol/PacketSender.h"
#include "protocol/PendingRequest.h"
#include "protocol/ReceiveQueue.h"
#include "protocol/ReceivedPacket.h"
#include "protocol/UdpSocket.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace rf {

class CSqlManagement;
struct ReplyContext;

// The network side of the program: four UDP sockets, the receivers and processors behind them, the list
// of devices online, the PC's adapter addresses, and the requests awaiting a reply. What the devices
// report is written into the store; pages read the store and the online list.
//
// Locks: onlineListLock_ before adapterAddressLock_, pendingLock_ before adapterAddressLock_; nothing is
// taken while adapterAddressLock_ is held, and the store is called only with no engine lock held.
class CNetManagement {
public:
    static constexpr int kSearchBufferSize = 1048576;
    static constexpr int kReplyBufferSize = 10485760;
    static constexpr auto kAgeingPeriod = std::chrono::seconds(10);

    // sender: nullptr to send through the engine's own sockets.
    CNetManagement(CSqlManagement& store, std::unique_ptr<IAdapterSource> adapters,
                   std::unique_ptr<IPacketSender> sender = nullptr);
    ~CNetManagement();
    CNetManagement(const CNetManagement&) = delete;
    CNetManagement& operator=(const CNetManagement&) = delete;

    // Opens the sockets and starts the workers (a running engine is stopped first, without Leave).
    bool Start(int retransmissionMax, int retransmissionInterval);
    // Ends every worker, sends Leave once to every online device, closes the sockets.
    void Stop();
    bool IsRunning() const { return running_; }

    // Discovery and the online list.
    void RefreshAdapters(std::vector<AdapterRecord>& list);
    std::vector<std::string> ListSearchTargets();
    void SearchDevices();
    void OnAnnounce(const ReceivedPacket& packet);
    void ListAnnouncedDevices(std::vector<ap_info_stu>& list, int max, const std::string& filter);
    void SendLeaveToAnnounced();
    void ForgetAnnounced();
    void PurgeUnseenDevices();
    void AgeOnlineList();
    std::vector<OnlineEntry> OnlineList() const;

    // Sending. True when the packet went out; requests that expect a reply are resent until it comes.
    // onDone is called once, on an engine thread with no engine lock held, when a recorded request ends:
    // answered, dropped after its last resend, or cut short by Stop. It is not called when nothing was
    // sent, nor for requests that are never recorded (no retransmit; Search, ScanAps, Heartbeat, Leave).
    bool SendCommand(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                     const std::string& macText, bool retransmit, RequestDone onDone = {});
    // Takes the request out of the table; its onDone is handed back for the caller to call.
    RequestDone RemovePending(const std::string& ipText, int type, const std::string& macText);
    // One pass of the retransmission worker: its sleep, then RetransmitPass.
    void RetransmitTick();
    void RetransmitPass();
    std::vector<PendingRequest> PendingRequests() const;

    // Replies and heartbeats.
    void OnHeartbeat(const ReceivedPacket& packet);
    void DispatchReply(const ReceivedPacket& packet);
    bool AcceptDeviceInfo(const ReceivedPacket& packet);
    void SetPendingIp(const std::string& macText, const std::string& currentIpText,
                      const std::string& newIpText);
    void AdoptPendingIp(const std::string& macText, const std::string& ipText);

    // Set when the last packet of an access-point scan arrived; cleared by sending ScanAps.
    std::atomic<bool> scanComplete{false};

private:
    class SocketSender;

    void StopWorkers();
    void ReceiveLoop(std::stop_token stop, UdpSocket& socket, ReceiveSocket kind,
                     ReceiveQueue<ReceivedPacket>& queue);
    void ProcessLoop(std::stop_token stop, ReceiveQueue<ReceivedPacket>& queue,
                     void (CNetManagement::*handler)(const ReceivedPacket&));
    // Sleeps for period unless stop is requested first; false when it was.
    bool SleepFor(std::stop_token stop, std::chrono::milliseconds period);
    void AddPending(const std::string& ipText, std::span<const std::uint8_t> payload, int type,
                    const std::string& macText, RequestDone onDone);
    void SendLeave(const OnlineEntry& entry);
    void StoreReply(const ReceivedPacket& packet, const ReplyContext& context, MessageType type);

    CSqlManagement& store_;
    std::unique_ptr<IAdapterSource> adapterSource_;
    std::unique_ptr<IPacketSender> ownSender_;
    IPacketSender* sender_;

    UdpSocket searchSocket_;
    UdpSocket announceSocket_;
    UdpSocket heartbeatSocket_;
    UdpSocket replySocket_;
    ReceiveQueue<ReceivedPacket> announceQueue_;
    ReceiveQueue<ReceivedPacket> heartbeatQueue_;
    ReceiveQueue<ReceivedPacket> replyQueue_;

    mutable std::mutex onlineListLock_;
    std::vector<OnlineEntry> onlineList_;
    std::mutex adapterEnumLock_;
    mutable std::mutex adapterAddressLock_;
    std::vector<AdapterAddress> adapterAddresses_;
    std::vector<LocalAddress> localAddresses_; // each adapter address parsed, with its interface
    mutable std::mutex pendingLock_;
    std::vector<PendingRequest> pendingRequests_;

    std::atomic<int> retransmissionMax_{3};
    std::atomic<int> retransmissionInterval_{2000};
    std::atomic<bool> running_{false};
    std::mutex sleepLock_;
    std::condition_variable_any sleepWake_;
    std::vector<std::jthread> workers_;
};

// The process-wide engine, built on first use over the process-wide store with the adapter library from
// the executable's folder. It is stopped when the process ends.
CNetManagement& GetEngine();

} // namespace rf
