#include "rules/RebootScheduleForm.h"

#include "protocol/Wire.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace rf {
namespace {

constexpr size_t kTimeOffset = DeviceInfo::kRestartTimeOffset - DeviceInfo::kRebootScheduleOffset;
constexpr std::array<std::string_view, kDayCount> kDayNames{"mon", "tue", "wed", "thu", "fri", "sat", "sun"};

std::optional<long> Number(const std::string& text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? std::optional(value) : std::nullopt;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

RebootScheduleForm OpenRebootScheduleForm(const RebootScheduleBlock& stored) {
    RebootScheduleForm form;
    form.enabled = stored[0] != 0;
    for (size_t day = 0; day < kDayCount; ++day) {
        form.days[day] = (stored[1] & DayBit(day)) != 0;
    }
    form.everyday = std::ranges::all_of(form.days, [](bool ticked) { return ticked; });
    const uint16_t minutes = LoadU16(stored, kTimeOffset);
    form.hour = std::to_string(minutes / 60);
    form.minute = std::to_string(minutes % 60);
    return form;
}

void SetEveryday(RebootScheduleForm& form, bool everyday) {
    form.everyday = everyday;
    form.days.fill(everyday);
}

RebootScheduleCollect CollectRebootSchedule(const RebootScheduleForm& form,
                                            const RebootScheduleBlock& stored) {
    RebootScheduleCollect result;
    if (!form.enabled) {
        result.block = stored;
        result.block[0] = 0;
        return result;
    }
    if (form.hour.empty() || form.minute.empty()) {
        result.message = kTimeEmptyMessage;
        return result;
    }
    const std::optional<long> hour = Number(form.hour);
    const std::optional<long> minute = Number(form.minute);
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59) {
        result.message = kTimeErrorMessage;
        return result;
    }
    uint8_t bits = 0;
    for (size_t day = 0; day < kDayCount; ++day) {
        bits = static_cast<uint8_t>(bits | (form.days[day] ? DayBit(day) : 0));
    }
    if (bits == 0 && !form.everyday) {
        result.message = kNoDayMessage;
        return result;
    }
    result.block[0] = 1;
    result.block[1] = bits;
    StoreU16(result.block, kTimeOffset, static_cast<uint16_t>(*hour * 60 + *minute));
    return result;
}

std::optional<uint8_t> ParseDays(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "everyday") {
        return kEveryDayBits;
    }
    uint8_t bits = 0;
    std::string_view rest = lower;
    while (true) {
        const size_t comma = rest.find(',');
        const auto found = std::ranges::find(kDayNames, rest.substr(0, comma));
        if (found == kDayNames.end()) {
            return std::nullopt;
        }
        bits = static_cast<uint8_t>(bits | DayBit(static_cast<size_t>(found - kDayNames.begin())));
        if (comma == std::string_view::npos) {
            return bits;
        }
        rest = rest.substr(comma + 1);
    }
}

} // namespace rf
