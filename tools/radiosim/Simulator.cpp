#include "Simulator.h"

#include "DevicePackets.h"
#include "RadioFactory.h"
#include "RadioJson.h"

#include "protocol/CodeTables.h"
#include "protocol/PacketHeader.h"

#include <chrono>
#include <csignal>
#include <net/if.h>
#include <sstream>
#include <sys/epoll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace rf {
namespace {

uint64_t MacKey(const MacAddress& mac) {
    uint64_t key = 0;
    for (uint8_t b : mac) {
        key = key << 8 | b;
    }
    return key;
}

constexpr Ipv4Bytes kLimitedBroadcast{255, 255, 255, 255};
constexpr int kScanPacketGapMs = 20;

} // namespace

Simulator::Simulator(SimOptions options)
    : options_(std::move(options)), radios_(MakeRadios(options_)),
      fetcher_(
          [this](size_t index, uint32_t run, const TftpFetch& fetch) { OnFetchFinished(index, run, fetch); }),
      lossRng_(options_.seed ^ 0x105505ULL), jitterRng_(options_.seed ^ 0x717e4ULL) {
    for (const Radio& r : radios_) {
        byMac_[MacKey(r.mac())] = r.index();
    }
}

Simulator::~Simulator() {
    if (epoll_ >= 0) {
        ::close(epoll_);
    }
    if (signals_ >= 0) {
        ::close(signals_);
    }
}

int64_t Simulator::Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool Simulator::Open(std::string& error) {
    for (Segment& s : options_.segments) {
        s.ifindex = static_cast<int>(::if_nametoindex(s.interface.c_str()));
        if (s.ifindex == 0) {
            error = "no interface " + s.interface;
            return false;
        }
    }
    if (!searchSocket_.Open(kSearchPort, error) || !commandSocket_.Open(kHeartbeatPort, error)) {
        return false;
    }
    for (const Segment& s : options_.segments) {
        if (!commandSocket_.JoinGroup(kMulticastGroup, s.ifindex, error)) {
            return false;
        }
    }
    if (!options_.controlPath.empty() && !control_.Open(options_.controlPath, error)) {
        return false;
    }
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGTERM);
    sigaddset(&mask, SIGINT);
    ::sigprocmask(SIG_BLOCK, &mask, nullptr);
    signals_ = ::signalfd(-1, &mask, SFD_CLOEXEC | SFD_NONBLOCK);
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    for (int fd : {searchSocket_.fd(), commandSocket_.fd(), control_.listenFd(), signals_}) {
        if (fd >= 0) {
            epoll_event e{EPOLLIN, {.fd = fd}};
            ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &e);
        }
    }
    return true;
}

void Simulator::Run() {
    epoll_event events[16];
    for (;;) {
        const int n = ::epoll_wait(epoll_, events, 16, WaitMs());
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == signals_) {
                return;
            }
            if (fd == searchSocket_.fd() || fd == commandSocket_.fd()) {
                Drain(fd == searchSocket_.fd() ? searchSocket_ : commandSocket_, fd == searchSocket_.fd());
            } else if (fd == control_.listenFd()) {
                const int client = control_.Accept();
                epoll_event e{EPOLLIN, {.fd = client}};
                ::epoll_ctl(epoll_, EPOLL_CTL_ADD, client, &e);
            } else if (fetcher_.Owns(fd)) {
                fetcher_.OnReadable(fd, Now());
            } else if (control_.Owns(fd)) {
                control_.Serve(fd, [this](const std::string& r) { return Control(r); });
            }
        }
        fetcher_.OnTimers(Now());
        timers_.RunDue(Now());
    }
}

int Simulator::WaitMs() const {
    const int64_t now = Now();
    const int timers = timers_.TimeoutMs(now);
    const int fetches = fetcher_.TimeoutMs(now);
    return timers < 0 ? fetches : fetches < 0 ? timers : std::min(timers, fetches);
}

void Simulator::Drain(UdpEndpoint& socket, bool searches) {
    for (int budget = 512; budget > 0; --budget) {
        auto datagram = socket.Receive();
        if (!datagram) {
            return;
        }
        if (Dropped(options_.lossInPercent)) {
            ++stats_.droppedIn;
            continue;
        }
        ++stats_.received;
        if (searches) {
            OnSearch(*datagram);
        } else {
            OnCommand(*datagram);
        }
    }
}

bool Simulator::Dropped(int percent) {
    return percent > 0 && std::uniform_int_distribution<int>(0, 99)(lossRng_) < percent;
}

bool Simulator::Emit(UdpEndpoint& socket, int segment, const Ipv4Bytes& from, const Ipv4Bytes& to,
                     uint16_t port, std::span<const uint8_t> bytes) {
    if (Dropped(options_.lossOutPercent)) {
        ++stats_.droppedOut;
        ++stats_.droppedOutByType[bytes.size() >= 6 ? LoadU16(bytes, PacketHeader::kTypeOffset) : 0];
        return false;
    }
    ++stats_.sent;
    return socket.Send(from, options_.segments[static_cast<size_t>(segment)].ifindex, to, port, bytes);
}

int Simulator::SegmentOf(int ifindex) const {
    for (size_t s = 0; s < options_.segments.size(); ++s) {
        if (options_.segments[s].ifindex == ifindex) {
            return static_cast<int>(s);
        }
    }
    return -1;
}

// A search reaches every radio of its segment; those whose subnet it was meant for answer.
void Simulator::OnSearch(const Datagram& search) {
    const auto header = PacketHeader::Decode(search.bytes);
    const int segment = SegmentOf(search.ifindex);
    if (!header || header->type != static_cast<uint16_t>(MessageType::Search) || segment < 0) {
        return;
    }
    ++stats_.searches;
    const int64_t now = Now();
    for (Radio& radio : radios_) {
        if (radio.segment() != segment || radio.Rebooting(now) || radio.mute) {
            continue;
        }
        if (search.destination != kLimitedBroadcast && search.destination != radio.broadcast()) {
            continue;
        }
        if (!radio.HearSearch()) {
            continue;
        }
        radio.Count(header->type);
        FollowSearcher(radio, search.source);
        const int delay = std::uniform_int_distribution<int>(0, options_.answerSpreadMs)(jitterRng_);
        timers_.At(now + delay, [this, index = radio.index(), pc = search.source] { Answer(index, pc); });
    }
    if (options_.hostile) {
        SendHostile(segment, search.source);
    }
}

void Simulator::Answer(size_t index, Ipv4Bytes searcher) {
    Radio& radio = radios_[index];
    const int64_t now = Now();
    if (radio.Rebooting(now)) {
        return;
    }
    const auto packet = DevicePacket(static_cast<uint16_t>(MessageType::Search), radio.model(), radio.mac(),
                                     radio.Announce(now).bytes());
    Emit(searchSocket_, radio.segment(), radio.ip(), searcher, kAnnouncePort, packet);
}

void Simulator::FollowSearcher(Radio& radio, const Ipv4Bytes& searcher) {
    if (radio.heartbeatTarget == searcher) {
        return;
    }
    radio.heartbeatTarget = searcher;
    const uint32_t generation = ++radio.heartbeatGeneration;
    const int phase = std::uniform_int_distribution<int>(1, options_.heartbeatMs)(jitterRng_);
    timers_.At(Now() + phase, [this, index = radio.index(), generation] { Heartbeat(index, generation); });
}

void Simulator::Heartbeat(size_t index, uint32_t generation) {
    Radio& radio = radios_[index];
    if (generation != radio.heartbeatGeneration || !radio.heartbeatTarget) {
        return; // the radio left, rebooted or follows another PC now
    }
    const int64_t now = Now();
    if (!radio.mute && !radio.Rebooting(now)) {
        const auto packet = DevicePacket(static_cast<uint16_t>(MessageType::Heartbeat), radio.model(),
                                         radio.mac(), radio.Announce(now).bytes());
        Emit(commandSocket_, radio.segment(), radio.ip(), *radio.heartbeatTarget, kHeartbeatPort, packet);
    }
    timers_.At(now + options_.heartbeatMs, [this, index, generation] { Heartbeat(index, generation); });
}

// The hostile sender sits at an address of the segment that no radio uses.
void Simulator::SendHostile(int segment, const Ipv4Bytes& searcher) {
    const Segment& s = options_.segments[static_cast<size_t>(segment)];
    const Ipv4Bytes from = RadioAddress(s, options_.radios / options_.segments.size() + 2);
    const MacAddress mac{0x02, 0x66, 0x66, 0x00, 0x00, static_cast<uint8_t>(segment)};
    for (const HostileDatagram& d : HostileDatagrams(mac)) {
        ++stats_.hostile;
        Emit(d.port == kAnnouncePort ? searchSocket_ : commandSocket_, segment, from, searcher, d.port,
             d.bytes);
    }
}

void Simulator::OnCommand(const Datagram& command) {
    const auto header = PacketHeader::Decode(command.bytes);
    const int segment = SegmentOf(command.ifindex);
    if (!header || segment < 0) {
        return;
    }
    const auto found = byMac_.find(MacKey(header->mac));
    if (found == byMac_.end() || radios_[found->second].segment() != segment) {
        return;
    }
    Radio& radio = radios_[found->second];
    const int64_t now = Now();
    if (radio.Rebooting(now)) {
        return;
    }
    radio.Count(header->type);
    if (radio.mute) {
        return;
    }
    const auto payload = PacketPayload(command.bytes);
    if (header->messageType() == MessageType::ScanAps) {
        if (!radio.scanSilent) {
            SendScan(radio, command.source);
        }
        return;
    }
    const Ipv4Bytes from = radio.ip(); // the reply leaves from the address the PC sent to
    const CommandOutcome outcome = radio.Execute(header->messageType(), payload, now);
    if (outcome.reply && !radio.LosesAnswer(header->messageType())) {
        Reply(radio, from, command.source, header->type, outcome.payload);
    }
    if (outcome.reboot && outcome.rebootDelayMs > 0) {
        timers_.At(now + outcome.rebootDelayMs,
                   [this, index = radio.index()] { radios_[index].StartReboot(Now(), options_.rebootMs); });
    } else if (outcome.reboot) {
        radio.StartReboot(now, options_.rebootMs);
    }
    if (outcome.fetch || outcome.report) {
        radio.upgradePc = command.source;
    }
    if (outcome.fetch) {
        StartFetch(radio);
    }
    if (outcome.report) {
        Report(radio, *outcome.report);
    }
    if (outcome.flash) {
        ScheduleFlash(radio);
    }
}

// The image comes from the firmware server of the PC that asked for the upgrade.
void Simulator::StartFetch(Radio& radio) {
    TftpFetch::Options options;
    options.blockSize = options_.tftpBlockSize;
    options.windowSize = options_.tftpWindowSize;
    options.expectedSize = radio.upgradeSize();
    radio.CountFetch();
    const int fd = fetcher_.Start(radio.index(), radio.upgradeRun(), radio.ip(), radio.upgradePc,
                                  options_.tftpPort, radio.upgradeFile(), options, Now());
    if (fd < 0) {
        Report(radio, radio.FinishFetch(false, 0, 0));
        return;
    }
    epoll_event e{EPOLLIN, {.fd = fd}};
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &e);
}

void Simulator::OnFetchFinished(size_t index, uint32_t run, const TftpFetch& fetch) {
    Radio& radio = radios_[index];
    if (radio.upgradeRun() != run || radio.upgradeStage() != UpgradeStage::Fetching) {
        return; // the radio rebooted meanwhile and lost what it fetched
    }
    const bool complete = fetch.state() == TftpFetch::State::Complete;
    const uint8_t state = radio.FinishFetch(complete, fetch.bytes(), fetch.checksum(), fetch.head());
    Report(radio, state);
    if (state == kUpgradeFetched) {
        timers_.At(Now() + options_.pollWaitMs, [this, index, run] {
            Radio& r = radios_[index];
            if (r.upgradeRun() == run && r.BeginFlash()) {
                ScheduleFlash(r);
            }
        });
    }
}

void Simulator::Report(Radio& radio, uint8_t state) {
    if (radio.mute || radio.Rebooting(Now())) {
        return;
    }
    const std::array<uint8_t, 1> payload{state};
    const auto packet =
        DevicePacket(static_cast<uint16_t>(MessageType::UpgradeReport), radio.model(), radio.mac(), payload);
    Emit(commandSocket_, radio.segment(), radio.ip(), radio.upgradePc, kReplyPort, packet);
}

void Simulator::ScheduleFlash(Radio& radio) {
    timers_.At(Now() + options_.flashMs,
               [this, index = radio.index(), run = radio.upgradeRun()] { FinishFlash(index, run); });
}

// After flashing the radio reboots into the new firmware and, once up, reports the upgrade done.
void Simulator::FinishFlash(size_t index, uint32_t run) {
    Radio& radio = radios_[index];
    if (radio.upgradeRun() != run || radio.upgradeStage() != UpgradeStage::Flashing) {
        return;
    }
    const int64_t now = Now();
    radio.FinishFlash(NewVersion(radio), now, options_.rebootMs);
    timers_.At(now + options_.rebootMs, [this, index, run] {
        Radio& r = radios_[index];
        if (r.upgradeRun() == run && r.upgradeStage() == UpgradeStage::Done) {
            Report(r, kUpgradeSucceeded);
        }
    });
}

std::string Simulator::NewVersion(const Radio& radio) const {
    if (!options_.upgradeVersion.empty()) {
        return options_.upgradeVersion;
    }
    std::string name = radio.upgradeFile();
    if (name.size() > 4 && (name.ends_with(".bin") || name.ends_with(".BIN"))) {
        name.resize(name.size() - 4);
    }
    return name.substr(0, DeviceInfo::kVersionWidth);
}

void Simulator::Reply(Radio& radio, const Ipv4Bytes& from, const Ipv4Bytes& pc, uint16_t type,
                      std::span<const uint8_t> payload) {
    const auto packet = DevicePacket(type, radio.model(), radio.mac(), payload);
    Emit(commandSocket_, radio.segment(), from, pc, kReplyPort, packet);
}

void Simulator::SendScan(Radio& radio, const Ipv4Bytes& pc) {
    const auto payloads = ScanPayloads(radio, radios_, options_.seed);
    const int64_t now = Now();
    for (size_t i = 0; i < payloads.size(); ++i) {
        timers_.At(now + static_cast<int64_t>(i + 1) * kScanPacketGapMs,
                   [this, index = radio.index(), from = radio.ip(), pc, payload = payloads[i]] {
                       Reply(radios_[index], from, pc, static_cast<uint16_t>(MessageType::ScanAps), payload);
                   });
    }
}

std::string Simulator::StatsJson() const {
    std::ostringstream s;
    s << "{\"radios\":" << radios_.size() << ",\"received\":" << stats_.received
      << ",\"sent\":" << stats_.sent << ",\"dropped_in\":" << stats_.droppedIn
      << ",\"dropped_out\":" << stats_.droppedOut << ",\"searches\":" << stats_.searches
      << ",\"hostile\":" << stats_.hostile << ",\"timers\":" << timers_.size()
      << ",\"fetches\":" << fetcher_.size() << ",\"dropped_out_by_type\":{";
    const char* separator = "";
    for (const auto& [type, count] : stats_.droppedOutByType) {
        s << separator << '"' << type << "\":" << count;
        separator = ",";
    }
    s << "}}";
    return s.str();
}

Radio* Simulator::FindRadio(const std::string& macText) {
    const auto mac = ParseMacText(macText);
    const auto found = mac ? byMac_.find(MacKey(*mac)) : byMac_.end();
    return found == byMac_.end() ? nullptr : &radios_[found->second];
}

std::string Simulator::Control(const std::string& request) {
    std::istringstream in(request);
    std::string verb, mac;
    int value = 0;
    in >> verb >> mac >> value;
    const int64_t now = Now();
    if (verb == "list") {
        std::string out;
        for (const Radio& r : radios_) {
            out += RadioJson(r, now) + "\n";
        }
        return out;
    }
    if (verb == "stats") {
        return StatsJson() + "\n";
    }
    Radio* radio = FindRadio(mac);
    if (radio == nullptr) {
        return "error: unknown request or radio\n";
    }
    if (verb == "get") {
        return RadioJson(*radio, now) + "\n";
    }
    if (verb == "mute") {
        radio->mute = value != 0;
        return "ok\n";
    }
    if (verb == "noscan") {
        radio->scanSilent = value != 0;
        return "ok\n";
    }
    if (verb == "security" && value >= 0 && value <= 255) {
        radio->SetSecureMode(static_cast<uint8_t>(value));
        return "ok\n";
    }
    if (verb == "modeswitch" && value >= 0 && value <= 2) {
        radio->SetModeSwitch(static_cast<uint8_t>(value));
        return "ok\n";
    }
    return "error: unknown request\n";
}

} // namespace rf
