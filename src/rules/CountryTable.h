#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rf {

// One country of the wireless tab's country box, with its channel lists. A list is comma-separated
// channel numbers; 0 stands for "Auto", and a suffix "l" or "u" marks the lower or upper channel of a
// 40 MHz pair.
struct CountryRow {
    std::string_view code;
    std::string_view name; // a language key
    std::string_view channels24;
    std::string_view channels20;
    std::string_view channels40;
    std::string_view channelsAuto;
};

inline constexpr size_t kCountryCount = 42;

// The 42 rows in the order the country box shows them.
const std::array<CountryRow, kCountryCount>& CountryTable();

// The country text of a device's country_code number; empty for numbers without one.
std::string_view CountryCodeText(unsigned number);

// The row whose code is the text of a device's country_code number; none when the number has no text or
// no row carries it.
std::optional<size_t> CountryRowOfCode(unsigned number);

// The first country_code number whose text is the row's code (0 when none is).
uint8_t CountryCodeOfRow(size_t row);

// The row whose code or name equals text, ignoring case; none when no row does.
std::optional<size_t> FindCountryRow(std::string_view text);

} // namespace rf
