#pragma once

#include "core/PortLock.h"
#include "protocol/AdapterSource.h"
#include "protocol/ApInfo.h"
#include "protocol/EngineClock.h"
#include "protocol/OnlineList.h"
#include "protocol/PacketSender.h"
#include "protocol/PendingRequest.h"
#include "protocol/ReceiveQueue.h"
#include "protocol/ReceivedPacket.h"
#include "protocol/RequestEnd.h"
#include "protocol/UdpSocket.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace rf {

class CSqlManagement;

// The network side of the program: four UDP sockets, the receivers and processors behind them, the list
// of devices online, the PC's adapter addresses, and the requests awaiting a reply. What the devices
// report is written into the store; pages read the store and the online list.
//
// Locks: onlineListLock_ before adapterAddressLock_, pendingLock_ before adapterAddressLock_; nothing is
// taken while adapterAddressLock_ is held, and the store and the callers' RequestDone are called only with
// no engine lock held.
class CNetManagement {
public:
    static constexpr int kSearchBufferSize = 1048576;
    // Receive buffer of the answer, heartbeat and reply sockets: ten thousand devices answer a search
    // within a tenth of a second, and a datagram takes more than a kilobyte of buffer.
    static constexpr int kReplyBufferSize = 10485760;
    static constexpr auto kAgeingPeriod = std::chrono::seconds(10);
    static constexpr size_t kPacketsPerTransaction = 128; // of one processor, see CSqlManagement::BeginWrites
    static constexpr int kMinRetransmissionInterval = 100; // milliseconds; anything shorter would spin
    // A device that answered a search is asked for its details again this soon (when the retransmission
    // interval is longer): over a lossy link details lost once should not keep it unlisted for seconds.
    static constexpr auto kDetailsRetryInterval = std::chrono::milliseconds(500);

    // sender: nullptr to send through the engine's own sockets. clock: nullptr for the steady clock.
    CNetManagement(CSqlManagement& store, std::unique_ptr<IAdapterSource> adapters,
                   std::unique_ptr<IPacketSender> sender = nullptr,
                   std::shared_ptr<IEngineClock> clock = nullptr);
    ~CNetManagement();
    CNetManagement(const CNetManagement&) = delete;
    CNetManagement& operator=(const CNetManagement&) = delete;

    // Takes the protocol's ports for this network namespace (PortLock), opens the sockets and starts the
    // workers (a running engine is stopped first, without Leave). An interval below 100 ms is raised to
    // 100 ms. False when the ports are held by another program or a socket cannot be made: StartError()
    // then tells why.
    bool Start(int retransmissionMax, int retransmissionInterval);
    const std::string& StartError() const { return startError_; }
    // Ends every worker, sends Leave once to every online device, closes the sockets.
    void Stop();
    bool IsRunning() const { return running_; }
    // The reply socket's receive buffer as the system reports it (see UdpSocket::ReceiveBufferSize).
    int ReplyReceiveBufferSize() const { return replySocket_.ReceiveBufferSize(); }

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
    // How many devices the online list holds, announced or detailed.
    int OnlineCount() const;
    // How many answers to searches have come from devices since the engine was made.
    long AnswersHeard() const { return answersHeard_; }

    // Sends one packet to the device through the adapter in its subnet. True when the packet went out.
    //
    // With retransmit, a request of a type that is answered is recorded before it leaves and resent every
    // retransmission interval, counted from its last send, up to retransmission_max times, until a reply
    // of the same type comes from the same device: its MAC, from the address the request went to (or, for
    // SetIp and SetBridge, the address it tells the device to take). onDone then tells how it ended, exactly
    // once, on an engine thread and with no engine lock held (it may send again):
    //   Answered - the reply came; called after the reply's effect is in the store. This can happen
    //              before SendCommand has returned.
    //   NoAnswer - no reply one interval after the last resend.
    //   Stopped  - Stop() ended the engine with the request pending (called on the thread calling Stop).
    // onDone is never called when SendCommand returns false (nothing was sent), nor without retransmit,
    // nor for Search, ScanAps, Heartbeat and Leave, which are never recorded.
    bool SendCommand(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                     const std::string& macText, bool retransmit, RequestDone onDone = {});
    // Ends the oldest request a reply of this type from this device at ipText answers, as Answered with
    // result.
    void RemovePending(const std::string& ipText, int type, const std::string& macText, int result = 0);
    // One pass of the retransmission worker: resends what is due now and drops what had its last resend
    // an interval ago. Returns when the next request is due (one interval from now when none is).
    IEngineClock::TimePoint RetransmitPass();
    // For tests: production code learns of a request's end through its RequestDone.
    std::vector<PendingRequest> PendingRequests() const;
    // The clock the engine goes by; waits for devices (a restart, a move) are measured on it too.
    const IEngineClock& Clock() const { return *clock_; }

    // Replies and heartbeats.
    void OnHeartbeat(const ReceivedPacket& packet);
    void DispatchReply(const ReceivedPacket& packet);
    bool AcceptDeviceInfo(const ReceivedPacket& packet);
    void SetPendingIp(const std::string& macText, const std::string& currentIpText,
                      const std::string& newIpText);
    void AdoptPendingIp(const std::string& macText, const std::string& ipText);
    // A device that accepted a restart is asked for its details again when it next answers.
    void MarkRestarting(const std::string& macText);

    // Set when the last packet of an access-point scan arrived; cleared by sending ScanAps.
    std::atomic<bool> scanComplete{false};

private:
    class SocketSender;

    void StopWorkers();
    void ReceiveLoop(std::stop_token stop, UdpSocket& socket, ReceiveSocket kind,
                     ReceiveQueue<ReceivedPacket>& queue);
    void ProcessLoop(std::stop_token stop, ReceiveQueue<ReceivedPacket>& queue,
                     void (CNetManagement::*handler)(const ReceivedPacket&));
    void AgeingLoop(std::stop_token stop);
    bool OpenSockets();
    void CloseSockets();
    void StartWorkers();
    bool Transmit(in_addr_t device, int type, std::span<const std::uint8_t> datagram);
    // Sends GetInfo to a device that answered a search; `resent` records it for retransmission.
    void AskForDetails(const std::string& ipText, const std::string& macText, bool resent);
    void DetailsRequestEnded(const std::string& macText);
    // SendCommand with the resend interval of the request.
    bool SendRequest(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                     const std::string& macText, bool retransmit, RequestDone onDone,
                     std::chrono::milliseconds interval);
    // Records a request whose first transmission is under way; its id.
    std::uint64_t AddPending(const std::string& ipText, std::span<const std::uint8_t> payload, int type,
                             const std::string& macText, RequestDone onDone,
                             std::chrono::milliseconds interval);
    // The first transmission of request id ended: it now waits for its reply, or it is forgotten.
    void FinishFirstSend(std::uint64_t id, bool sent);
    // Takes out the oldest request of this type to the device that a reply from senderIp may answer
    // (waiting while its first send is under way); its completion, for the caller to call, or nullopt when
    // no request matched.
    std::optional<RequestDone> TakeAnswered(int type, const std::string& macText,
                                            const std::string& senderIp);
    // Whether senderIp is an address the device with macText has (or is being moved to): the one in the
    // online list, or the stored one when it is not online.
    bool IsDeviceAt(const std::string& macText, const std::string& senderIp);
    bool IsInConflict(const std::string& macText) const;
    // A record naming macText came from claimIp, which the device does not have: its stored address is
    // asked for its details before anything moves.
    void ProbeClaim(const std::string& macText, const std::string& storedIp, const std::string& claimIp);
    void EndClaim(const std::string& macText, const std::string& claimIp, const RequestEnd& probeEnd);
    void EndAllPending();
    // Details the store could not keep: the device is listed as only announced, and asked again when it
    // next answers a search.
    void ForgetDetails(const std::string& macText);
    void ForgetLostWrites(const std::vector<std::string>& macs);
    void SendLeave(const OnlineEntry& entry);

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
    rf::OnlineList onlineList_; // qualified: OnlineList() names the copy above
    std::mutex adapterEnumLock_;
    mutable std::mutex adapterAddressLock_;
    std::vector<AdapterAddress> adapterAddresses_;
    std::vector<LocalAddress> localAddresses_; // each adapter address parsed, with its interface
    mutable std::mutex pendingLock_;
    std::condition_variable firstSent_;          // a request's first transmission ended
    std::deque<PendingRequest> pendingRequests_; // answered mostly oldest first
    std::uint64_t lastRequestId_ = 0;

    std::shared_ptr<IEngineClock> clock_;
    std::atomic<int> retransmissionMax_{3};
    std::atomic<int> retransmissionInterval_{2000};
    std::atomic<bool> running_{false};
    std::atomic<long> answersHeard_{0};
    PortLock portLock_;
    std::string startError_;
    std::vector<std::jthread> workers_;
};

// The process-wide engine, built on first use over the process-wide store with the adapter library from
// the executable's folder. It is stopped when the process ends.
CNetManagement& GetEngine();

} // namespace rf
