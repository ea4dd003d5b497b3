#include "rules/WirelessLists.h"

#include "rules/CountryTable.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace rf {
namespace {

constexpr std::string_view kAuto = "Auto";

// One entry of a channel list text: its number and its 40 MHz pairing mark ('l', 'u' or 0).
struct ChannelEntry {
    int number = 0;
    char mark = 0;
};

std::vector<ChannelEntry> SplitChannels(std::string_view list) {
    std::vector<ChannelEntry> entries;
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view entry = list.substr(0, comma);
        ChannelEntry parsed;
        const auto [end, ec] = std::from_chars(entry.data(), entry.data() + entry.size(), parsed.number);
        if (ec == std::errc() && end != entry.data() + entry.size()) {
            parsed.mark = *end;
        }
        entries.push_back(parsed);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return entries;
}

std::string_view ChannelListText(const CountryRow& row, int band, int bandwidth) {
    if (band == 0) {
        return row.channels24;
    }
    return bandwidth == 0 ? row.channels20 : bandwidth == 1 ? row.channels40 : row.channelsAuto;
}

bool IsLeftOut(int number) {
    return (number >= 52 && number <= 64) || (number >= 100 && number <= 144);
}

ChoiceItem ChannelItem(int number) {
    return number == 0 ? ChoiceItem{std::string(kAuto), 0, true} : ChoiceItem{std::to_string(number), number};
}

void AddExtensions24(ChoiceList& list, int channel, int highest) {
    if (channel == 0) {
        list.enabled = false;
        return;
    }
    if (channel >= 1 && channel <= 4) {
        list.items.push_back({std::to_string(channel + 4), 1});
    } else if (channel <= highest - 4) {
        list.items.push_back({std::to_string(channel - 4), 0});
        list.items.push_back({std::to_string(channel + 4), 1});
    } else {
        list.items.push_back({std::to_string(channel - 4), 0});
    }
}

// The partner of a 40 MHz channel: the next entry for a lower channel (the previous when it is the last),
// the previous for an upper one (the next when the previous would be the leading Auto), the channel
// itself when it is not marked.
void AddExtensions5(ChoiceList& list, const CountryRow& row, int channel) {
    if (channel == 0) {
        list.items.push_back({std::string(kAuto), 0, true});
        return;
    }
    const std::vector<ChannelEntry> entries = SplitChannels(row.channels40);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].number != channel) {
            continue;
        }
        int partner = channel;
        if (entries[i].mark == 'l') {
            partner = i + 1 < entries.size() ? entries[i + 1].number : entries[i - 1].number;
        } else if (entries[i].mark == 'u') {
            partner = i >= 2 ? entries[i - 1].number : entries[i + 1 < entries.size() ? i + 1 : i].number;
        }
        list.items.push_back({std::to_string(partner), 0});
        return;
    }
}

} // namespace

ChoiceList BuildNetworkModeList(int band, int mode) {
    ChoiceList list;
    if (band != 0) {
        list.items = {{"11a", 0}, {"11n", 3}, {"11a/n", 1}};
    } else {
        list.items = {{"11b", 1}, {"11g", 2}, {"11b/g", 0}, {"11b/g/n", 4}};
    }
    list.SelectData(mode, 2);
    return list;
}

ChoiceList BuildBandwidthList(int mode, int bandwidth, int band) {
    ChoiceList list;
    if (band != 0 || mode == 3 || mode == 4) {
        list.items = {{std::string(kAuto), 2, true}, {"20MHz", 0}, {"40MHz", 1}};
    } else if (mode >= 0 && mode <= 2) {
        list.items = {{"20MHz", 0}};
    }
    list.SelectData(bandwidth, 0);
    return list;
}

ChoiceList BuildChannelList(std::optional<size_t> row, int band, int bandwidth, int channel) {
    ChoiceList list;
    if (!row || *row >= kCountryCount) {
        return list;
    }
    const CountryRow& country = CountryTable()[*row];
    const bool everything = country.name == "Test";
    for (const ChannelEntry& entry : SplitChannels(ChannelListText(country, band, bandwidth))) {
        if (everything || !IsLeftOut(entry.number)) {
            list.items.push_back(ChannelItem(entry.number));
        }
    }
    list.SelectData(channel, 0);
    return list;
}

ChoiceList BuildExtensionList(int bandwidth, int mode, int band, std::optional<size_t> row, int channel,
                              int extension, int highestChannel) {
    ChoiceList list;
    const bool pairs5 = band == 1 && mode != 0 && bandwidth == 1;
    const bool pairs24 = band == 0 && mode == 4 && bandwidth != 0;
    list.enabled = pairs5 || pairs24;
    if (pairs24) {
        AddExtensions24(list, channel, highestChannel);
    } else if (pairs5 && row && *row < kCountryCount) {
        AddExtensions5(list, CountryTable()[*row], channel);
    }
    if (list.items.size() == 1) {
        list.selected = 0;
    } else if (list.items.size() == 2) {
        list.selected = extension == 1 ? 1 : 0;
    }
    return list;
}

int ExpandChannelValue(int band, int bandwidth, int channel, const ChoiceList& extensions) {
    const bool unpaired =
        channel == 0 || ((band == 0 || band == 1) && bandwidth == 0) || (band == 1 && bandwidth == 2);
    const std::optional<int> chosen = extensions.SelectedData();
    return unpaired || !chosen ? 2 : *chosen;
}

} // namespace rf
