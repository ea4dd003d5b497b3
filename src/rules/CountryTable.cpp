#include "rules/CountryTable.h"

#include <algorithm>
#include <cctype>

namespace rf {
namespace {

constexpr std::string_view G1 = "0,1,2,3,4,5,6,7,8,9,10,11,12,13";
constexpr std::string_view G2 = "0,1,2,3,4,5,6,7,8,9,10,11";
constexpr std::string_view F1 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr std::string_view F2 = "0,52,56,60,64,149,153,157,161,165";
constexpr std::string_view F3 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161,165";
constexpr std::string_view F4 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140";
constexpr std::string_view F5 =
    "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr std::string_view F6 = "0,36,40,44,48,149,153,157,161,165";
constexpr std::string_view F7 = "0,149,153,157,161,165";
constexpr std::string_view F8 = "0,36,40,44,48";
constexpr std::string_view F9 = "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,"
                                "153,157,161,165,179,181,188";
constexpr std::string_view H1 = "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,"
                                "140l,149l,153u,157l,161u";
constexpr std::string_view H2 = "0,52l,56u,60l,64u,149l,153u,157l,161u";
constexpr std::string_view H3 = "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,"
                                "132l,136u,140l,144u,149l,153u,157l,161u";
constexpr std::string_view H4 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u";
constexpr std::string_view H5 =
    "0,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,140l,149l,153u,157l,161u";
constexpr std::string_view H6 = "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,"
                                "132l,136u,149,153,157,161";
constexpr std::string_view H7 = "0,149,153,157,161";
constexpr std::string_view H8 = "0,36,40,44,48,149,153,157,161";
constexpr std::string_view H9 = "0,36,40,44,48";
constexpr std::string_view H10 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,"
    "153,157,161,179,181,188";
constexpr std::string_view E1 = "0,36,40,44,48,52,56,60,64,100,104,108,112,132,136,140,144,149,153,157,161";
constexpr std::string_view E2 = "0,52,56,60,64,149,153,157,161";
constexpr std::string_view E3 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,149,153,157,161";
constexpr std::string_view E4 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161";
constexpr std::string_view E5 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128";
constexpr std::string_view E6 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr std::string_view E7 = "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr std::string_view E8 = "";

constexpr std::array<CountryRow, kCountryCount> kCountries{{
    {"AU", "Australia", G1, F1, H1, E1},
    {"AR", "Argentina", G1, F2, H2, E2},
    {"BR", "Brazil", G1, F1, H1, E3},
    {"CA", "Canada", G2, F3, H3, E4},
    {"CN", "China", G1, F3, H3, E4},
    {"CO", "Colombia", G2, F3, H3, E4},
    {"CZ", "CzechRepublic", G1, F4, H4, E5},
    {"EG", "Egypt", G1, F4, H4, E5},
    {"GB", "England", G1, F4, H4, E5},
    {"FR", "France", G1, F4, H4, E5},
    {"DE", "Germany", G1, F4, H4, E5},
    {"HK", "Hong Kong", G1, F1, H1, E6},
    {"IN", "India", G1, F1, H1, E6},
    {"ID", "Indonesia", G1, F1, H1, E6},
    {"IR", "Iran", G1, F5, H5, E7},
    {"IQ", "Iraq", G1, F1, H1, E6},
    {"MY", "Malaysia", G1, F5, H5, E7},
    {"MX", "Mexico", G2, F1, H1, E6},
    {"PE", "Peru", G1, F5, H5, E7},
    {"PK", "Pakistan", G1, F5, H5, E7},
    {"PH", "Philippines", G1, F1, H1, E6},
    {"PL", "Poland", G1, F4, H4, E5},
    {"RO", "Romania", G1, F4, H4, E5},
    {"RU", "Russia", G1, F6, H6, E5},
    {"SA", "Saudi Arabia", G1, F1, H1, E6},
    {"ZA", "South Afica", G1, F1, H1, E3},
    {"ES", "Spain", G1, F4, H4, E5},
    {"TW", "Taiwan", G2, F5, H5, E7},
    {"TH", "Thailand", G1, F1, H1, E6},
    {"TR", "Turkey", G1, F4, H4, E5},
    {"AE", "United Arab Emirates", G1, F7, H7, E5},
    {"US", "United States", G2, F1, H1, E6},
    {"UA", "Ukiain", G1, F6, H6, E5},
    {"VE", "Venezuela", G1, F5, H5, E7},
    {"VN", "Vietnam", G1, F4, H4, E5},
    {"IT", "Italy", G1, F6, H8, E8},
    {"AM", "Armenia", G1, F8, H9, E8},
    {"HU", "Hungary", G1, F8, H9, E8},
    {"KR", "Korea", G1, F7, H7, E8},
    {"AUT", "Austria", G1, F6, H8, E8},
    {"CHL", "Chile", G1, F6, H8, E8},
    {"Test", "Test", G1, F9, H10, E8},
}};

// The texts of the country_code numbers 0-61; higher numbers have none.
constexpr std::array<std::string_view, 62> kCodeTexts{
    "CN", "US", "GB", "ES", "IT", "FR", "DE", "NL", "CZ", "PL", "EE", "RU",  "TR",  "SE",  "CH", "DK",
    "BE", "BG", "AM", "FI", "SI", "SK", "RO", "PT", "AT", "GR", "CA", "MX",  "BR",  "AR",  "CL", "CO",
    "PE", "LV", "IN", "ID", "PH", "VN", "TH", "KR", "HK", "TW", "MY", "NZ",  "AU",  "PK",  "AE", "IQ",
    "SA", "ZA", "EG", "MA", "IL", "BD", "IR", "NP", "UA", "VE", "HU", "AUT", "CHL", "Test"};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const std::array<CountryRow, kCountryCount>& CountryTable() {
    return kCountries;
}

std::string_view CountryCodeText(unsigned number) {
    return number < kCodeTexts.size() ? kCodeTexts[number] : std::string_view{};
}

std::optional<size_t> CountryRowOfCode(unsigned number) {
    const std::string_view code = CountryCodeText(number);
    if (code.empty()) {
        return std::nullopt;
    }
    for (size_t row = 0; row < kCountries.size(); ++row) {
        if (kCountries[row].code == code) {
            return row;
        }
    }
    return std::nullopt;
}

uint8_t CountryCodeOfRow(size_t row) {
    if (row >= kCountries.size()) {
        return 0;
    }
    const auto found = std::ranges::find(kCodeTexts, kCountries[row].code);
    return found == kCodeTexts.end() ? 0 : static_cast<uint8_t>(found - kCodeTexts.begin());
}

std::optional<size_t> FindCountryRow(std::string_view text) {
    for (size_t row = 0; row < kCountries.size(); ++row) {
        if (SameIgnoringCase(kCountries[row].code, text) || SameIgnoringCase(kCountries[row].name, text)) {
            return row;
        }
    }
    return std::nullopt;
}

} // namespace rf
