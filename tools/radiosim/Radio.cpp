#include "Radio.h"

#include "protocol/UpgradeFileInfo.h"

#include <algorithm>
#include <cstring>

namespace rf {

Radio::Radio(size_t index, int segment, const MacAddress& mac, uint16_t model, const DeviceInfo& factory,
             uint32_t initialUptime)
    : index_(index), segment_(segment), mac_(mac), model_(model), factory_(factory), info_(factory),
      bootMs_(0), uptimeAtBoot_(initialUptime) {}

Ipv4Bytes Radio::broadcast() const {
    Ipv4Bytes ip = info_.ip();
    const Ipv4Bytes mask = info_.ip_mask();
    for (size_t i = 0; i < ip.size(); ++i) {
        ip[i] = static_cast<uint8_t>(ip[i] | ~mask[i]);
    }
    return ip;
}

uint32_t Radio::UpTime(int64_t nowMs) const {
    if (nowMs < bootMs_) {
        return 0;
    }
    return uptimeAtBoot_ + static_cast<uint32_t>((nowMs - bootMs_) / 1000);
}

DeviceInfo Radio::Report(int64_t nowMs) const {
    DeviceInfo report = info_;
    report.set_up_time(UpTime(nowMs));
    return report;
}

AnnounceRecord Radio::Announce(int64_t nowMs) const {
    AnnounceRecord record;
    // Copy the length bytes as the radio holds them, so that odd lengths travel unchanged.
    auto out = record.mutable_bytes();
    const auto in = info_.bytes();
    std::copy_n(in.begin() + DeviceInfo::kVersionOffset, 33, out.begin() + AnnounceRecord::kVersionOffset);
    std::copy_n(in.begin() + DeviceInfo::kApNameOffset, 33, out.begin() + AnnounceRecord::kApNameOffset);
    std::copy_n(in.begin() + DeviceInfo::kSsidOffset, 33, out.begin() + AnnounceRecord::kSsidOffset);
    record.set_work_mode(info_.work_mode());
    record.set_mode_btn_status(info_.mode_btn_status());
    record.set_up_time(UpTime(nowMs));
    record.set_channel(info_.channel());
    record.set_bridge_transparent(info_.bridge_transparent());
    return record;
}

void Radio::Count(uint16_t type) {
    if (type < received_.size()) {
        ++received_[type];
    }
}

void Radio::StartReboot(int64_t nowMs, int64_t durationMs) {
    ++reboots_;
    if (applyAtRestart_) {
        ApplyPendingIp();
        applyAtRestart_ = false;
    }
    if (upgradeStage_ == UpgradeStage::Fetching || upgradeStage_ == UpgradeStage::Waiting ||
        upgradeStage_ == UpgradeStage::Flashing) {
        upgradeStage_ = UpgradeStage::Idle; // the image in memory is lost
        ++upgradeRun_;
    }
    bootMs_ = nowMs + durationMs;
    restartStartedMs_ = nowMs;
    uptimeAtBoot_ = 0;
    heartbeatTarget.reset();
    ++heartbeatGeneration;
}

CommandOutcome Radio::Execute(MessageType type, std::span<const uint8_t> payload, int64_t nowMs) {
    switch (type) {
    case MessageType::GetInfo: {
        const DeviceInfo report = Report(nowMs);
        return {true, std::vector<uint8_t>(report.bytes().begin(), report.bytes().end())};
    }
    case MessageType::SetIp:
        return SetIp(payload);
    case MessageType::SetWireless:
        return SetBlock(payload, DeviceInfo::kRadioSettingsOffset, DeviceInfo::kRadioSettingsSize);
    case MessageType::SetRebootSchedule:
        return SetBlock(payload, DeviceInfo::kRebootScheduleOffset, DeviceInfo::kRebootScheduleSize);
    case MessageType::SetName:
        return SetBlock(payload, DeviceInfo::kDeviceNameOffset, DeviceInfo::kDeviceNameSize);
    case MessageType::SetBridge:
        return SetBridge(payload);
    case MessageType::SetVlan:
        return SetVlan(payload);
    case MessageType::SetTransparentBridge:
        return SetTransparentBridge(payload);
    case MessageType::Reboot:
        return {true, Result(true), !failing};
    case MessageType::Restore:
        if (!failing) {
            info_ = factory_;
            pendingIp_.reset();
            ++restores_;
        }
        return {true, Result(true), !failing};
    case MessageType::Upgrade:
        return Upgrade(payload);
    case MessageType::UpgradePoll:
        return UpgradePoll();
    case MessageType::Leave:
        heartbeatTarget.reset();
        ++heartbeatGeneration;
        return {true, Result(true)};
    default: // acknowledgements of answers and heartbeats, and anything unknown
        return {};
    }
}

CommandOutcome Radio::SetBlock(std::span<const uint8_t> payload, size_t offset, size_t size) {
    const bool ok = payload.size() >= size;
    if (ok && !failing) {
        std::copy_n(payload.begin(), size, info_.mutable_bytes().begin() + static_cast<ptrdiff_t>(offset));
    }
    return {true, Result(ok)};
}

CommandOutcome Radio::SetIp(std::span<const uint8_t> payload) {
    if (payload.size() < DeviceInfo::kIpSettingsSize) {
        return {true, Result(false)};
    }
    std::array<uint8_t, DeviceInfo::kIpSettingsSize> block{};
    std::copy_n(payload.begin(), block.size(), block.begin());
    DeviceInfo probe;
    std::copy(block.begin(), block.end(), probe.mutable_ip_settings_block().begin());
    const bool valid = probe.ip() != Ipv4Bytes{} && probe.ip_mask() != Ipv4Bytes{};
    if (!valid || failing) {
        return {true, Result(valid)};
    }
    pendingIp_ = block;
    if (probe.ip_apply_flag() != 0) {
        ApplyPendingIp();
    }
    return {true, Result(true)};
}

void Radio::ApplyPendingIp() {
    if (pendingIp_) {
        std::copy(pendingIp_->begin(), pendingIp_->end(), info_.mutable_ip_settings_block().begin());
        pendingIp_.reset();
    }
}

CommandOutcome Radio::SetBridge(std::span<const uint8_t> payload) {
    constexpr size_t bridge = DeviceInfo::kBridgeSettingsSize;
    if (payload.size() < bridge + DeviceInfo::kIpSettingsSize) {
        return {true, Result(false)};
    }
    if (failing) {
        return {true, Result(true)};
    }
    auto bytes = info_.mutable_bytes();
    std::copy_n(payload.begin(), bridge, bytes.begin() + DeviceInfo::kBridgeSettingsOffset);
    std::copy_n(payload.begin() + bridge, DeviceInfo::kIpSettingsSize,
                bytes.begin() + DeviceInfo::kIpSettingsOffset);
    info_.set_work_mode(info_.bridge_work_mode());
    return {true, Result(true)};
}

CommandOutcome Radio::SetVlan(std::span<const uint8_t> payload) {
    if (payload.size() < DeviceInfo::kVlanSettingsSize) {
        return {true, Result(false)};
    }
    if (failing) {
        return {true, Result(true)};
    }
    const bool applyIp = payload[DeviceInfo::kVlanApplyFlagOffset - DeviceInfo::kVlanSettingsOffset] != 0;
    std::copy_n(payload.begin(), DeviceInfo::kVlanSettingsSize,
                info_.mutable_bytes().begin() + DeviceInfo::kVlanSettingsOffset);
    CommandOutcome outcome{true, Result(true), true};
    if (applyIp) {
        applyAtRestart_ = true;
        outcome.rebootDelayMs = kApplyWindowMs;
    }
    return outcome;
}

CommandOutcome Radio::SetTransparentBridge(std::span<const uint8_t> payload) {
    const bool ok = !payload.empty() && payload[0] <= 1;
    if (ok && !failing) {
        info_.set_bridge_transparent(payload[0]);
    }
    return {true, Result(ok)};
}

CommandOutcome Radio::Upgrade(std::span<const uint8_t> payload) {
    const bool busy = upgradeStage_ == UpgradeStage::Fetching || upgradeStage_ == UpgradeStage::Waiting ||
                      upgradeStage_ == UpgradeStage::Flashing;
    if (busy) {
        return {true, Result(true)}; // a repeated request while the last one is under way
    }
    const UpgradeFileInfo request = UpgradeFileInfo::FromBytes(payload);
    if (payload.size() < UpgradeFileInfo::kSize || request.file_name().empty()) {
        return {true, Result(false)};
    }
    ++upgradeRun_;
    upgradeFile_ = request.file_name();
    upgradeSize_ = request.file_size();
    upgradeReceived_ = 0;
    upgradeChecksum_ = 0;
    if (failing) {
        upgradeStage_ = UpgradeStage::Failed;
        CommandOutcome outcome{true, Result(true)};
        outcome.report = kUpgradeFailed;
        return outcome;
    }
    upgradeStage_ = UpgradeStage::Fetching;
    CommandOutcome outcome{true, Result(true)};
    outcome.fetch = true;
    return outcome;
}

CommandOutcome Radio::UpgradePoll() {
    CommandOutcome outcome{true, Result(true)};
    outcome.flash = BeginFlash();
    return outcome;
}

uint8_t Radio::FinishFetch(bool complete, uint64_t bytes, uint64_t checksum) {
    upgradeReceived_ = bytes;
    upgradeChecksum_ = checksum;
    const bool ok = complete && bytes == upgradeSize_ && !upgradeFailing;
    upgradeStage_ = ok ? UpgradeStage::Waiting : UpgradeStage::Failed;
    return ok ? kUpgradeFetched : kUpgradeFailed;
}

bool Radio::BeginFlash() {
    if (upgradeStage_ != UpgradeStage::Waiting) {
        return false;
    }
    upgradeStage_ = UpgradeStage::Flashing;
    return true;
}

void Radio::FinishFlash(const std::string& newVersion, int64_t nowMs, int64_t rebootMs) {
    info_.set_version(newVersion);
    upgradeStage_ = UpgradeStage::Done;
    StartReboot(nowMs, rebootMs);
}

const char* UpgradeStageText(UpgradeStage stage) {
    switch (stage) {
    case UpgradeStage::Idle:
        return "idle";
    case UpgradeStage::Fetching:
        return "fetching";
    case UpgradeStage::Waiting:
        return "waiting";
    case UpgradeStage::Flashing:
        return "flashing";
    case UpgradeStage::Done:
        return "done";
    case UpgradeStage::Failed:
        return "failed";
    }
    return "";
}

} // namespace rf
