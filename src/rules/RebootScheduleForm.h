#pragma once

#include "protocol/DeviceInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rf {

// The 4-byte schedule block: restart_en, restart_type (day bits), restart_time (minutes after midnight,
// 16-bit little-endian).
using RebootScheduleBlock = std::array<uint8_t, DeviceInfo::kRebootScheduleSize>;

inline constexpr const char* kTimeEmptyMessage = "The time can not be empty!";
inline constexpr const char* kTimeErrorMessage = "The time is error!";
inline constexpr const char* kNoDayMessage = "Please selectting the day that you want to reboot!";

// Day bits of restart_type, Monday first: Monday 2, Tuesday 4, ... Sunday 128.
constexpr uint8_t DayBit(size_t day) {
    return static_cast<uint8_t>(2u << day);
}
inline constexpr size_t kDayCount = 7;
inline constexpr uint8_t kEveryDayBits = 254;

// The scheduled-reboot tab as the user sees it. "Everyday" ticks all seven days.
struct RebootScheduleForm {
    bool enabled = false;
    std::string hour;
    std::string minute;
    std::array<bool, kDayCount> days{};
    bool everyday = false;
};

RebootScheduleForm OpenRebootScheduleForm(const RebootScheduleBlock& stored);
// Ticks or unticks "Everyday" together with the seven days, as the tab does.
void SetEveryday(RebootScheduleForm& form, bool everyday);

struct RebootScheduleCollect {
    std::string message; // the key of the refusal; empty when accepted
    RebootScheduleBlock block{};
};

// Unticked: the stored block with restart_en 0 (days and time kept). Ticked: hour 0-23, minute 0-59 and
// at least one day, else the message of the first failure.
RebootScheduleCollect CollectRebootSchedule(const RebootScheduleForm& form,
                                            const RebootScheduleBlock& stored);

// The day bits of a text: "everyday" or a comma list of mon,tue,wed,thu,fri,sat,sun (any case); none
// when a part is not a day.
std::optional<uint8_t> ParseDays(std::string_view text);

} // namespace rf
