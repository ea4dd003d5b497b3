#include "relayd/TransferWorker.h"

#include "relayd/SocketCalls.h"
#include "relayd/TftpPacket.h"

#include <algorithm>
#include <array>
#include <poll.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace rf {

CTransferWorker::CTransferWorker(int socket, const sockaddr_in& peer, std::span<const uint8_t> request,
                                 std::unique_ptr<CTransfer> transfer, Ended ended, Progress progress)
    : socket_(socket), peer_(peer), request_(request.begin(), request.end()), onEnded_(std::move(ended)),
      onProgress_(std::move(progress)), transfer_(std::move(transfer)) {}

CTransferWorker::~CTransferWorker() {
    Stop();
    Finish();
    if (wake_ >= 0) {
        ::close(wake_);
    }
}

bool CTransferWorker::Start(CTransfer::TimePoint now) {
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        return false;
    }
    transfer_->Start(now);
    try {
        thread_ = std::jthread([this](const std::stop_token& stop) { Run(stop); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CTransferWorker::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

bool CTransferWorker::TakeRepeatedRequest(std::span<const uint8_t> packet, CTransfer::TimePoint now) {
    {
        const std::lock_guard lock(mutex_);
        if (finished_) {
            return false;
        }
        // The peer's last acknowledgement may be waiting behind this request: take it first.
        HandlePackets(now, true);
        const bool same = std::equal(packet.begin(), packet.end(), request_.begin(), request_.end());
        if (!same || !transfer_->Running()) {
            return false;
        }
        transfer_->OnRepeatedRequest(now);
    }
    // The timer may have moved: let the worker wait anew.
    relayd::Signal(wake_);
    return true;
}

void CTransferWorker::Run(const std::stop_token& stop) {
    const std::stop_callback wake(stop, [this] { relayd::Signal(wake_); });
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested() && transfer_->Running()) {
        const auto now = CTransfer::Clock::now();
        if (transfer_->Deadline() <= now) {
            transfer_->OnTimer(now);
            continue;
        }
        if (!(transfer_->AnswerExpectedWithin(kSpin) && Spin())) {
            const int wait = WaitMilliseconds(now);
            lock.unlock();
            std::array<pollfd, 2> fds{{{socket_, POLLIN, 0}, {wake_, POLLIN, 0}}};
            ::poll(fds.data(), fds.size(), wait);
            if ((fds[1].revents & POLLIN) != 0) {
                relayd::Clear(wake_);
            }
            lock.lock();
        }
        // One packet a turn: the next turn finds the next one without a read that comes back empty.
        HandlePackets(CTransfer::Clock::now(), false);
        ReportProgress();
    }
    lock.unlock();
    if (!stop.stop_requested()) {
        Finish();
    }
}

void CTransferWorker::HandlePackets(CTransfer::TimePoint now, bool drain) {
    std::array<uint8_t, 1024> buffer{}; // acknowledgements and errors are small
    for (bool more = true; more && transfer_->Running(); more = drain) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            return;
        }
        if (from.sin_addr.s_addr != peer_.sin_addr.s_addr || from.sin_port != peer_.sin_port) {
            if (n < 2 || tftp::ReadU16(buffer, 0) != tftp::kError) {
                relayd::SendTo(socket_, from,
                               tftp::BuildError(tftp::kUnknownTransferId, "Unknown transfer ID"));
            }
            continue;
        }
        transfer_->OnPacket(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)), now);
    }
}

// On a fast link the next acknowledgement comes back within microseconds: polling for it costs less
// than going to sleep and being woken, which is most of a lock-step round trip there. Yielding in between
// leaves the processor to whatever else is ready to run, the clients on this machine among them.
bool CTransferWorker::Spin() {
    const auto until = CTransfer::Clock::now() + kSpin;
    do {
        pollfd fd{socket_, POLLIN, 0};
        if (::poll(&fd, 1, 0) > 0) {
            return true;
        }
        ::sched_yield();
    } while (CTransfer::Clock::now() < until);
    return false;
}

int CTransferWorker::WaitMilliseconds(CTransfer::TimePoint now) const {
    const auto deadline = transfer_->Deadline();
    if (deadline == CTransfer::TimePoint::max()) {
        return -1;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    return static_cast<int>(std::clamp<int64_t>(wait, 0, 60000));
}

// Reports at every sixteenth of the file and at its end; small files report only their end.
void CTransferWorker::ReportProgress() {
    const uint64_t total = transfer_->FileSize();
    const uint64_t bytes = transfer_->BytesAcknowledged();
    const uint64_t step = std::max<uint64_t>(1, total / kProgressReports);
    if (onProgress_ && bytes > reported_ && (bytes - reported_ >= step || bytes == total)) {
        reported_ = bytes;
        onProgress_(bytes, total);
    }
}

void CTransferWorker::Finish() {
    CTransfer::State state = CTransfer::State::Running;
    {
        const std::lock_guard lock(mutex_);
        if (finished_) {
            return;
        }
        state = transfer_->GetState();
        transfer_.reset(); // closes the file
        ::close(socket_);
        finished_ = true;
    }
    onEnded_(state);
}

} // namespace rf
