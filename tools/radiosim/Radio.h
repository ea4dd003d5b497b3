#pragma once

#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Wire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// What a radio does with a command addressed to it.
struct CommandOutcome {
    bool reply = false;
    std::vector<uint8_t> payload;    // the reply's payload; a one-byte result for most commands
    bool reboot = false;             // start a reboot after the reply went out
    int64_t rebootDelayMs = 0;       // ... this long after it
    bool fetch = false;              // start fetching the firmware image the radio was told of
    bool flash = false;              // start flashing the fetched image
    std::optional<uint8_t> report{}; // send an UpgradeReport with this state
};

// Where a radio is in a firmware upgrade.
enum class UpgradeStage { Idle, Fetching, Waiting, Flashing, Done, Failed };
const char* UpgradeStageText(UpgradeStage stage);

// The states a radio reports in UpgradeReport.
inline constexpr uint8_t kUpgradeFetched = 0;
inline constexpr uint8_t kUpgradeFailed = 1;
inline constexpr uint8_t kUpgradeSucceeded = 2;

// A VLAN change sent with apply_flag 1 restarts the radio kApplyWindowMs after its answer and applies IP
// settings received with apply_flag 0 before then, so that the IP change the PC sends right after the VLAN
// change takes effect with it.
inline constexpr int64_t kApplyWindowMs = 2000;

// Other changes apply at once; the simulator sends the reply from the address the radio had before the
// command, as the PC expects.
// One simulated radio: its configuration, its factory configuration, its clock and its counters. It knows
// nothing of sockets; the simulator feeds it commands and sends what it answers.
class Radio {
public:
    Radio(size_t index, int segment, const MacAddress& mac, uint16_t model, const DeviceInfo& factory,
          uint32_t initialUptime);

    size_t index() const { return index_; }
    int segment() const { return segment_; }
    const MacAddress& mac() const { return mac_; }
    uint16_t model() const { return model_; }
    const DeviceInfo& info() const { return info_; }
    // The position of the radio's mode switch (0 off, 1 access point, 2 station), as an installer sets it.
    void SetModeSwitch(uint8_t position) { info_.set_mode_btn_status(position); }
    // A security mode of the radio's own network, whatever its firmware calls it; the key fields stay.
    void SetSecureMode(uint8_t mode) {
        SecurityBlock security = info_.security();
        security.set_secure_mode(mode);
        info_.set_security(security);
    }
    Ipv4Bytes ip() const { return info_.ip(); }
    Ipv4Bytes broadcast() const;

    uint32_t UpTime(int64_t nowMs) const;
    bool Rebooting(int64_t nowMs) const { return nowMs < bootMs_; }
    // The full record as the radio reports it now (with its current up time).
    DeviceInfo Report(int64_t nowMs) const;
    AnnounceRecord Announce(int64_t nowMs) const;

    // Handles a command addressed to this radio; the simulator answers and reboots as the outcome says.
    CommandOutcome Execute(MessageType type, std::span<const uint8_t> payload, int64_t nowMs);
    void StartReboot(int64_t nowMs, int64_t durationMs);

    void Count(uint16_t type);
    uint32_t Received(uint16_t type) const { return type < received_.size() ? received_[type] : 0; }
    const std::array<uint32_t, 19>& received() const { return received_; }
    uint32_t reboots() const { return reboots_; }
    uint32_t restores() const { return restores_; }
    // When the last restart began, on the simulator's clock (0: never).
    int64_t restartStartedMs() const { return restartStartedMs_; }

    // Radios that answer every setting with a failure result and change nothing.
    bool failing = false;
    // Radios that apply settings and commands but whose answers to them are lost on the way; their
    // answers to GetInfo arrive, so the PC can see what they hold.
    bool losesAnswers = false;
    bool LosesAnswer(MessageType type) const { return losesAnswers && type != MessageType::GetInfo; }
    // Radios that ignore everything (they never answer).
    bool mute = false;
    // Ignores the searches it hears before this one (counted from 1).
    uint32_t answerFromSearch = 1;
    // Counts a search meant for this radio; whether it answers it.
    bool HearSearch() { return ++searchesHeard_ >= answerFromSearch; }
    // Answers everything but an access-point scan (a radio whose survey never ends).
    bool scanSilent = false;

    // The PC that searched last; heartbeats go there. Forgotten on Leave and on reboot.
    std::optional<Ipv4Bytes> heartbeatTarget;
    uint32_t heartbeatGeneration = 0;

    // Radios that fetch the image and then report the upgrade failed (a bad image).
    bool upgradeFailing = false;

    // The fetch ended: a whole image of the announced size, meant for this radio's model (see ImageModel),
    // is kept and reported with 0, anything else with 1. head: the image's first bytes. Returns the state
    // to report.
    uint8_t FinishFetch(bool complete, uint64_t bytes, uint64_t checksum, std::string_view head = {});
    // The model an image is meant for: an image whose first line reads "MODEL=" and a model code or
    // model text (such as "MODEL=258" or "MODEL=Hirta") is for that model only; any other image suits
    // every model.
    static std::optional<uint16_t> ImageModel(std::string_view head);
    // Counts the fetches this radio started.
    void CountFetch() { ++upgradeFetches_; }
    uint32_t upgradeFetches() const { return upgradeFetches_; }
    // The PC did not poll in time: the radio flashes anyway. False when it is not waiting.
    bool BeginFlash();
    // Flashing is over: the radio runs newVersion after the reboot that follows.
    void FinishFlash(const std::string& newVersion, int64_t nowMs, int64_t rebootMs);

    UpgradeStage upgradeStage() const { return upgradeStage_; }
    // Counts upgrades started, so that timers of an earlier one know they are stale.
    uint32_t upgradeRun() const { return upgradeRun_; }
    const std::string& upgradeFile() const { return upgradeFile_; }
    uint32_t upgradeSize() const { return upgradeSize_; }
    uint64_t upgradeReceived() const { return upgradeReceived_; }
    uint64_t upgradeChecksum() const { return upgradeChecksum_; }
    // The PC that asked for the upgrade: the image comes from it and the reports go to it.
    Ipv4Bytes upgradePc{};

private:
    std::vector<uint8_t> Result(bool ok) const { return {static_cast<uint8_t>(ok && !failing ? 0 : 1)}; }
    CommandOutcome SetIp(std::span<const uint8_t> payload);
    CommandOutcome SetBlock(std::span<const uint8_t> payload, size_t offset, size_t size);
    CommandOutcome SetBridge(std::span<const uint8_t> payload);
    CommandOutcome SetVlan(std::span<const uint8_t> payload);
    CommandOutcome SetTransparentBridge(std::span<const uint8_t> payload);
    CommandOutcome Upgrade(std::span<const uint8_t> payload);
    CommandOutcome UpgradePoll();
    void ApplyPendingIp();

    size_t index_;
    uint32_t searchesHeard_ = 0;
    int segment_;
    MacAddress mac_;
    uint16_t model_;
    DeviceInfo factory_;
    DeviceInfo info_;
    // IP settings received with apply_flag 0; they take effect when a VLAN change sent with apply_flag 1
    // restarts the radio.
    std::optional<std::array<uint8_t, DeviceInfo::kIpSettingsSize>> pendingIp_;
    int64_t bootMs_;
    int64_t restartStartedMs_ = 0;
    uint32_t uptimeAtBoot_;
    bool applyAtRestart_ = false;
    std::array<uint32_t, 19> received_{};
    uint32_t reboots_ = 0;
    uint32_t restores_ = 0;
    UpgradeStage upgradeStage_ = UpgradeStage::Idle;
    uint32_t upgradeRun_ = 0;
    std::string upgradeFile_;
    uint32_t upgradeSize_ = 0;
    uint64_t upgradeReceived_ = 0;
    uint64_t upgradeChecksum_ = 0;
    uint32_t upgradeFetches_ = 0;
};

} // namespace rf
