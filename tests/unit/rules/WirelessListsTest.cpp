#include "rules/WirelessLists.h"
#include "protocol/DeviceInfo.h"
#include "rules/CountryTable.h"
#include "rules/WirelessChoices.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace rf {
namespace {

std::vector<int> Values(const ChoiceList& list) {
    std::vector<int> values;
    for (const ChoiceItem& item : list.items) {
        values.push_back(item.data);
    }
    return values;
}

std::vector<std::string> Texts(const ChoiceList& list) {
    std::vector<std::string> texts;
    for (const ChoiceItem& item : list.items) {
        texts.push_back(item.text);
    }
    return texts;
}

size_t Row(std::string_view name) {
    return FindCountryRow(name).value();
}

TEST(CountryTable, RowsAndDeviceCodesMapBothWays) {
    EXPECT_EQ(CountryTable().size(), 42u);
    EXPECT_EQ(CountryCodeOfRow(Row("Chile")), 60) << "CHL, not CL (30)";
    EXPECT_EQ(CountryCodeOfRow(Row("Austria")), 59) << "AUT, not AT (24)";
    EXPECT_EQ(CountryCodeOfRow(Row("United States")), 1);
    EXPECT_EQ(CountryRowOfCode(1), Row("US"));
    EXPECT_EQ(CountryRowOfCode(0), Row("China"));
    EXPECT_FALSE(CountryRowOfCode(7)) << "NL has a code but no row";
    EXPECT_FALSE(CountryRowOfCode(62));
    EXPECT_FALSE(CountryRowOfCode(255));
    EXPECT_EQ(FindCountryRow("germany"), FindCountryRow("DE"));
    EXPECT_FALSE(FindCountryRow("Atlantis"));
}

TEST(WirelessLists, ModeAndBandwidthListsFollowTheBandAndMode) {
    EXPECT_EQ(Values(BuildNetworkModeList(1, 3)), (std::vector<int>{0, 3, 1}));
    EXPECT_EQ(BuildNetworkModeList(1, 3).selected, 1);
    EXPECT_EQ(Values(BuildNetworkModeList(0, 4)), (std::vector<int>{1, 2, 0, 4}));
    EXPECT_EQ(BuildNetworkModeList(0, 9).selected, 2) << "an unlisted mode selects the third entry";
    EXPECT_EQ(Values(BuildNetworkModeList(7, 0)), (std::vector<int>{0, 3, 1})) << "any band but 0 is 5 GHz";

    EXPECT_EQ(Values(BuildBandwidthList(0, 1, 1)), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(Values(BuildBandwidthList(4, 1, 0)), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(Values(BuildBandwidthList(2, 1, 0)), (std::vector<int>{0}));
    EXPECT_EQ(BuildBandwidthList(2, 1, 0).selected, 0);
    EXPECT_TRUE(BuildBandwidthList(5, 0, 0).items.empty());
    EXPECT_EQ(BuildBandwidthList(0, 9, 1).selected, 0);
}

TEST(WirelessLists, ChannelsOfTheCountryBandAndBandwidth) {
    const ChoiceList us20 = BuildChannelList(Row("United States"), 1, 0, 44);
    EXPECT_EQ(Values(us20), (std::vector<int>{0, 36, 40, 44, 48, 149, 153, 157, 161, 165}));
    EXPECT_EQ(us20.items[0].text, "Auto");
    EXPECT_TRUE(us20.items[0].translate);
    EXPECT_EQ(us20.selected, 3);
    EXPECT_EQ(BuildChannelList(Row("United States"), 1, 0, 52).selected, 0) << "52 is never offered";

    const ChoiceList test = BuildChannelList(Row("Test"), 1, 0, 188);
    EXPECT_EQ(test.items.size(), 29u) << "the country Test offers its whole list";
    EXPECT_EQ(test.items[1].data, 8);
    EXPECT_EQ(test.items.back().data, 188);
    EXPECT_EQ(test.selected, 28);

    EXPECT_EQ(Values(BuildChannelList(Row("US"), 0, 1, 0)).size(), 12u) << "G2: Auto and 1-11";
    EXPECT_EQ(Values(BuildChannelList(Row("AU"), 1, 1, 0)),
              (std::vector<int>{0, 36, 40, 44, 48, 149, 153, 157, 161}))
        << "40 MHz marks are read as numbers";
    EXPECT_TRUE(BuildChannelList(Row("Italy"), 1, 2, 0).items.empty()) << "an empty Auto list";
    EXPECT_TRUE(BuildChannelList(std::nullopt, 1, 0, 36).items.empty());
}

TEST(WirelessLists, ExtensionChannelsPairWithTheChosenChannel) {
    EXPECT_EQ(Texts(BuildExtensionList(1, 4, 0, Row("AU"), 3, 2, 13)), (std::vector<std::string>{"7"}));
    EXPECT_EQ(Texts(BuildExtensionList(1, 4, 0, Row("US"), 11, 2, 11)), (std::vector<std::string>{"7"}));
    const ChoiceList nine = BuildExtensionList(1, 4, 0, Row("AU"), 9, 1, 13);
    EXPECT_EQ(Texts(nine), (std::vector<std::string>{"5", "13"}));
    EXPECT_EQ(Values(nine), (std::vector<int>{0, 1}));
    EXPECT_EQ(nine.selected, 1);
    EXPECT_EQ(BuildExtensionList(1, 4, 0, Row("AU"), 9, 2, 13).selected, 0);
    const ChoiceList autoChannel = BuildExtensionList(1, 4, 0, Row("AU"), 0, 2, 13);
    EXPECT_TRUE(autoChannel.items.empty());
    EXPECT_FALSE(autoChannel.enabled);

    EXPECT_EQ(Texts(BuildExtensionList(1, 3, 1, Row("US"), 40, 2, 0)), (std::vector<std::string>{"36"}));
    EXPECT_EQ(Texts(BuildExtensionList(1, 3, 1, Row("US"), 36, 2, 0)), (std::vector<std::string>{"40"}));
    EXPECT_EQ(Texts(BuildExtensionList(1, 3, 1, Row("US"), 0, 2, 0)), (std::vector<std::string>{"Auto"}));
    EXPECT_EQ(Texts(BuildExtensionList(1, 3, 1, Row("Russia"), 153, 2, 0)),
              (std::vector<std::string>{"153"}));

    const ChoiceList twenty = BuildExtensionList(0, 3, 1, Row("US"), 36, 2, 0);
    EXPECT_FALSE(twenty.enabled);
    EXPECT_TRUE(twenty.items.empty());
    EXPECT_FALSE(BuildExtensionList(1, 0, 1, Row("US"), 36, 2, 0).enabled) << "11a has no 40 MHz pairs";
    EXPECT_FALSE(BuildExtensionList(1, 3, 2, Row("US"), 36, 2, 0).enabled) << "only bands 0 and 1 pair";
}

TEST(WirelessLists, ExpandChannelIsTwoWithoutAPair) {
    const ChoiceList upper = BuildExtensionList(1, 4, 0, Row("AU"), 9, 1, 13);
    EXPECT_EQ(ExpandChannelValue(0, 1, 9, upper), 1);
    EXPECT_EQ(ExpandChannelValue(0, 0, 9, upper), 2);
    EXPECT_EQ(ExpandChannelValue(0, 1, 0, upper), 2);
    EXPECT_EQ(ExpandChannelValue(1, 2, 36, upper), 2);
    EXPECT_EQ(ExpandChannelValue(1, 1, 36, ChoiceList{}), 2) << "nothing selected";
}

DeviceInfo FiveGigRadio() {
    DeviceInfo info;
    info.set_rf_type(1);
    info.set_country_code(1); // US
    info.set_network_mode(3);
    info.set_bandwidth(1);
    info.set_channel(40);
    info.set_expand_channel(0);
    return info;
}

TEST(WirelessChoices, ChangesRebuildOnlyTheListsThatDependOnThem) {
    WirelessChoices choices = WirelessChoices::Open(FiveGigRadio());
    EXPECT_EQ(choices.channels().SelectedData(), 40);
    EXPECT_EQ(Texts(choices.extensions()), (std::vector<std::string>{"36"}));

    choices.SelectChannel(choices.channels().IndexOf(36));
    EXPECT_EQ(Texts(choices.extensions()), (std::vector<std::string>{"40"}));

    choices.SelectBandwidth(choices.bandwidths().IndexOf(0));
    EXPECT_EQ(choices.bandwidths().SelectedData(), 0);
    EXPECT_EQ(choices.channels().SelectedData(), 36) << "the 20 MHz list still offers the channel";
    EXPECT_FALSE(choices.extensions().enabled) << "20 MHz has no extension channel";
    choices.SelectChannel(choices.channels().IndexOf(165));
    choices.SelectBandwidth(choices.bandwidths().IndexOf(1));
    EXPECT_EQ(choices.channels().IndexOf(165), -1) << "the 40 MHz list";
    EXPECT_EQ(choices.channels().SelectedData(), 0) << "165 has no 40 MHz partner: Auto";
    EXPECT_EQ(Texts(choices.extensions()), (std::vector<std::string>{"Auto"}));
    choices.SelectChannel(choices.channels().IndexOf(149));
    EXPECT_EQ(Texts(choices.extensions()), (std::vector<std::string>{"153"}));

    choices.SelectCountry(Row("Korea"));
    EXPECT_EQ(choices.channels().SelectedData(), 0) << "a new country starts at Auto";
    EXPECT_EQ(Values(choices.channels()), (std::vector<int>{0, 149, 153, 157, 161})) << "its 40 MHz list";

    choices.SelectNetworkMode(choices.networkModes().IndexOf(0));
    EXPECT_EQ(choices.channels().SelectedData(), 0);
    EXPECT_FALSE(choices.extensions().enabled) << "11a has no extension channel";

    choices.SelectChannel(99);
    EXPECT_EQ(choices.channels().SelectedData(), 0) << "an index beyond the list changes nothing";
}

TEST(WirelessChoices, AStoredCodeWithoutARowLeavesTheChannelsEmpty) {
    DeviceInfo info = FiveGigRadio();
    info.set_country_code(7); // NL: a code without a row
    const WirelessChoices choices = WirelessChoices::Open(info);
    EXPECT_FALSE(choices.country());
    EXPECT_TRUE(choices.channels().items.empty());
    EXPECT_TRUE(choices.extensions().items.empty());
}

} // namespace
} // namespace rf
