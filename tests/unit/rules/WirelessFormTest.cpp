#include "rules/WirelessForm.h"
#include "protocol/DeviceInfo.h"
#include "rules/CountryTable.h"
#include "rules/DeviceRules.h"

#include <gtest/gtest.h>
#include <string>

namespace rf {
namespace {

constexpr int kLooseModel = 1;
constexpr int kStrictModel = 261;

DeviceInfo Radio() {
    DeviceInfo info;
    info.set_work_mode(1);
    info.set_ap_name("Mast-1");
    info.set_rf_type(0);
    info.set_country_code(44); // AU
    info.set_network_mode(4);
    info.set_bandwidth(1);
    info.set_channel(9);
    info.set_expand_channel(1);
    info.set_tx_power(20);
    info.set_tx_power_min(8);
    info.set_tx_power_max(26);
    info.set_ssid("lab");
    info.set_ssid_mac({6, 1, 2, 3, 4, 5});
    SecurityBlock security;
    security.set_secure_mode(3);
    security.set_wpapsk_key_value("labkey-1000");
    security.set_wpapsk_key_time(3600);
    info.set_security(security);
    return info;
}

DeviceInfo Built(const DeviceInfo& stored, const RadioSettingsBlock& radio) {
    DeviceInfo info = stored;
    std::copy(radio.begin(), radio.end(), info.mutable_radio_settings_block().begin());
    return info;
}

TEST(WirelessTab, RefusesInTheTabsOrderWithItsMessages) {
    const DeviceInfo stored = Radio();
    const WirelessForm opening = OpenWirelessForm(stored);
    const auto refusal = [&](auto change, int model = kLooseModel) {
        WirelessForm form = opening;
        change(form);
        return CollectWirelessSettings(form, stored, model).message;
    };
    EXPECT_EQ(refusal([](WirelessForm&) {}), "");
    EXPECT_EQ(refusal([](WirelessForm& f) { f.name.clear(); }), kNameEmptyMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.name = std::string(33, 'a'); }), kLooseNameMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.name = "Mast 1"; }, kStrictModel), kStrictNameMessage);
    DeviceInfo spaced = stored;
    spaced.set_ap_name("Mast 1");
    spaced.set_ssid("my lab");
    EXPECT_EQ(CollectWirelessSettings(OpenWirelessForm(spaced), spaced, kStrictModel).message, "")
        << "the stored name and SSID, which the strict rule would refuse, are no change";
    EXPECT_EQ(refusal([](WirelessForm& f) { f.name.clear(), f.ssid.clear(); }), kNameEmptyMessage)
        << "the name is checked first";
    EXPECT_EQ(refusal([](WirelessForm& f) { f.ssid.clear(); }), kSsidEmptyMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.ssid = "my lab"; }, kStrictModel), kStrictSsidMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.ssid = std::string(33, 's'); }), kLooseSsidMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.power = "27"; }), kPowerRangeMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.power = "7"; }), kPowerRangeMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.power.clear(); }), kPowerRangeMessage);
    EXPECT_EQ(refusal([](WirelessForm& f) { f.power = "26"; }), "");
    EXPECT_EQ(refusal([](WirelessForm& f) { f.power = "8"; }), "");
    EXPECT_EQ(refusal([](WirelessForm& f) { f.security.pskKey = "short"; }),
              "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!");
    EXPECT_EQ(WirelessMessageText(kPowerRangeMessage, stored), "Power value range:8-26");
}

TEST(WirelessTab, BuildsTheRadioBlockFromTheChoices) {
    DeviceInfo stored = Radio();
    stored.set_rf_count(0);
    WirelessForm form = OpenWirelessForm(stored);
    form.name = "Tower-2";
    form.ssid = "field";
    form.hideSsid = true;
    form.power = "25";
    form.choices.SelectCountry(*FindCountryRow("Chile"));
    form.choices.SelectChannel(form.choices.channels().IndexOf(5));
    const WirelessCollect collected = CollectWirelessSettings(form, stored, kLooseModel);
    ASSERT_EQ(collected.message, "");
    EXPECT_EQ(collected.name, "Tower-2");
    const DeviceInfo built = Built(stored, collected.radio);
    EXPECT_EQ(built.rf_count(), 1);
    EXPECT_EQ(built.rf_en(), 1);
    EXPECT_EQ(built.ssid_count(), 1);
    EXPECT_EQ(built.country_code(), 60);
    EXPECT_EQ(built.channel(), 5);
    EXPECT_EQ(built.expand_channel(), 0) << "channel 5 pairs with 1 first";
    EXPECT_EQ(built.tx_power(), 25);
    EXPECT_EQ(built.ssid(), "field");
    EXPECT_EQ(built.ssid_hide(), 1);
    EXPECT_EQ(built.tx_power_min(), 8) << "the limits are the device's";
    EXPECT_EQ(built.ssid_mac(), stored.ssid_mac());
    EXPECT_EQ(built.security().wpapsk_key_value(), "labkey-1000");
}

// What a station or repeater holds breaks the tab's rules here (power above its limits, a short key), yet
// nobody can correct it on the tab: it is not checked, and only a change to it is refused.
TEST(WirelessTab, AStationsTabIsNotCheckedAndCannotBeChanged) {
    for (const uint8_t workMode : {2, 3, 4}) {
        DeviceInfo stored = Radio();
        stored.set_work_mode(workMode);
        stored.set_bandwidth(0);
        stored.set_tx_power(30);
        SecurityBlock security = stored.security();
        security.set_wpapsk_key_value("short");
        stored.set_security(security);
        EXPECT_FALSE(IsWirelessTabEditable(stored));
        const WirelessForm shown = OpenWirelessForm(stored);
        const WirelessCollect collected = CollectWirelessSettings(shown, stored, kLooseModel);
        ASSERT_EQ(collected.message, "") << int{workMode};
        EXPECT_EQ(collected.name, "Mast-1");
        const DeviceInfo built = Built(stored, collected.radio);
        EXPECT_EQ(built.tx_power(), 30);
        EXPECT_EQ(built.expand_channel(), 2) << "20 MHz has no extension channel";
        WirelessForm changed = shown;
        changed.power = "20";
        EXPECT_EQ(CollectWirelessSettings(changed, stored, kLooseModel).message,
                  kRadioFromAccessPointMessage);
        changed = shown;
        changed.name = "Mast-2";
        EXPECT_EQ(CollectWirelessSettings(changed, stored, kLooseModel).message,
                  kRadioFromAccessPointMessage);
    }
}

TEST(WirelessTab, ValuesNoListOffersAreReplacedByTheListsChoice) {
    DeviceInfo stored = Radio();
    stored.set_rf_type(1);
    stored.set_country_code(1); // US
    stored.set_network_mode(3);
    stored.set_bandwidth(1);
    stored.set_channel(52); // not offered
    stored.set_expand_channel(1);
    const WirelessCollect collected = CollectWirelessSettings(OpenWirelessForm(stored), stored, kLooseModel);
    const DeviceInfo built = Built(stored, collected.radio);
    EXPECT_EQ(built.channel(), 0) << "the list falls back to Auto";
    EXPECT_EQ(built.expand_channel(), 2);
}

} // namespace
} // namespace rf
