#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "protocol/ReplyAddresses.h"

#include <algorithm>

namespace rf {

namespace {

bool IsNeverRecorded(int type) {
    switch (static_cast<MessageType>(type)) {
    case MessageType::Search:
    case MessageType::ScanAps:
    case MessageType::Heartbeat:
    case MessageType::Leave:
        return true;
    default:
        return false;
    }
}

bool IsUsableAddress(const std::optional<in_addr_t>& address) {
    return address && *address != 0;
}

} // namespace

bool CNetManagement::SendCommand(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                                 const std::string& macText, bool retransmit, RequestDone onDone) {
    return SendRequest(ipText, type, payload, macText, retransmit, std::move(onDone),
                       std::chrono::milliseconds(retransmissionInterval_.load()));
}

bool CNetManagement::SendRequest(const std::string& ipText, int type, std::span<const std::uint8_t> payload,
                                 const std::string& macText, bool retransmit, RequestDone onDone,
                                 std::chrono::milliseconds interval) {
    const auto device = ParseIpv4(ipText);
    if (!IsUsableAddress(device) || type < 0 || type > 0xFFFF) {
        return false;
    }
    std::array<std::uint8_t, kMaxDatagram> datagram{};
    const size_t size =
        BuildPacket(datagram, static_cast<MessageType>(type), MacTextToBytes(macText), true, payload);
    if (size == 0) {
        return false;
    }
    // Recorded before it leaves, so that a reply quicker than this thread still finds it.
    const bool record = retransmit && !IsNeverRecorded(type);
    const std::uint64_t id =
        record ? AddPending(ipText, payload, type, macText, std::move(onDone), interval) : 0;
    const bool sent = Transmit(*device, type, std::span<const std::uint8_t>(datagram).first(size));
    if (record) {
        FinishFirstSend(id, sent);
    }
    return sent;
}

bool CNetManagement::Transmit(in_addr_t device, int type, std::span<const std::uint8_t> datagram) {
    std::lock_guard lock(adapterAddressLock_);
    for (const auto& local : localAddresses_) {
        if (local.ip == 0 || local.mask == 0 || (local.ip & local.mask) != (device & local.mask)) {
            continue;
        }
        if (static_cast<MessageType>(type) == MessageType::ScanAps) {
            scanComplete = false;
        }
        return sender_->SendToDevice(local, datagram);
    }
    return false;
}

std::uint64_t CNetManagement::AddPending(const std::string& ipText, std::span<const std::uint8_t> payload,
                                         int type, const std::string& macText, RequestDone onDone,
                                         std::chrono::milliseconds interval) {
    PendingRequest request;
    request.remaining = retransmissionMax_;
    request.ip = ipText;
    request.type = type;
    request.payload.assign(payload.begin(), payload.end());
    request.mac = macText;
    request.lastSent = clock_->Now();
    request.interval = interval;
    request.onDone = std::move(onDone);
    request.inFlight = true;
    std::lock_guard lock(pendingLock_);
    request.id = ++lastRequestId_;
    pendingRequests_.push_back(std::move(request));
    return lastRequestId_;
}

void CNetManagement::FinishFirstSend(std::uint64_t id, bool sent) {
    {
        std::lock_guard lock(pendingLock_);
        const auto found = std::find_if(pendingRequests_.begin(), pendingRequests_.end(),
                                        [&](const PendingRequest& r) { return r.id == id; });
        if (found != pendingRequests_.end()) {
            if (sent) {
                found->inFlight = false;
                found->lastSent = clock_->Now();
            } else {
                pendingRequests_.erase(found);
            }
        }
    }
    firstSent_.notify_all();
}

std::optional<RequestDone> CNetManagement::TakeAnswered(int type, const std::string& macText,
                                                        const std::string& senderIp) {
    const auto answers = [&](const PendingRequest& r) {
        return r.type == type && r.mac == macText && MayAnswer(r, senderIp);
    };
    std::unique_lock lock(pendingLock_);
    // A reply can beat its request's sender back here; it is then matched once the send has finished
    // (or, when the send failed, the request is gone and an older or no request is matched).
    firstSent_.wait(lock, [&] {
        const auto first = std::find_if(pendingRequests_.begin(), pendingRequests_.end(), answers);
        return first == pendingRequests_.end() || !first->inFlight;
    });
    const auto found = std::find_if(pendingRequests_.begin(), pendingRequests_.end(), answers);
    if (found == pendingRequests_.end()) {
        return std::nullopt;
    }
    RequestDone done = std::move(found->onDone);
    pendingRequests_.erase(found);
    return done;
}

void CNetManagement::RemovePending(const std::string& ipText, int type, const std::string& macText,
                                   int result) {
    if (auto done = TakeAnswered(type, macText, ipText); done && *done) {
        (*done)(RequestEnd{RequestEnd::How::Answered, result});
    }
}

IEngineClock::TimePoint CNetManagement::RetransmitPass() {
    const auto now = clock_->Now();
    const auto interval = std::chrono::milliseconds(retransmissionInterval_.load());
    auto next = now + interval;
    std::vector<RequestDone> unanswered;
    {
        std::lock_guard lock(pendingLock_);
        std::erase_if(pendingRequests_, [&](PendingRequest& request) {
            const auto due = request.lastSent + request.interval;
            if (request.inFlight || now < due) {
                next = std::min(next, due);
                return false;
            }
            if (request.remaining <= 0) {
                unanswered.push_back(std::move(request.onDone));
                return true;
            }
            --request.remaining;
            request.lastSent = now;
            SendCommand(request.ip, request.type, request.payload, request.mac, false);
            return false;
        });
    }
    for (auto& done : unanswered) {
        if (done) {
            done(RequestEnd{RequestEnd::How::NoAnswer});
        }
    }
    return next;
}

void CNetManagement::EndAllPending() {
    std::deque<PendingRequest> ended;
    {
        std::unique_lock lock(pendingLock_);
        firstSent_.wait(lock, [&] {
            return std::none_of(pendingRequests_.begin(), pendingRequests_.end(),
                                [](const PendingRequest& r) { return r.inFlight; });
        });
        ended.swap(pendingRequests_);
    }
    for (auto& request : ended) {
        if (request.onDone) {
            request.onDone(RequestEnd{RequestEnd::How::Stopped});
        }
    }
}

} // namespace rf
