#include "operations/ConfigForms.h"
#include "operations/DeviceOperations.h"
#include "operations/PlanDescription.h"
#include "protocol/CodeTables.h"
#include "rules/CountryTable.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace rf {
namespace {

const auto kNobody = [](const std::string&) { return false; };

// A 5 GHz access point in the United States whose stored channel (52) and extension are outside the
// lists the tab offers.
ap_info_stu OffListRadio() {
    DeviceInfo info;
    info.set_work_mode(1);
    info.set_ip({10, 99, 1, 10});
    info.set_ip_mask({255, 255, 0, 0});
    info.set_ip_gateway({10, 99, 0, 1});
    info.set_ap_name("Mast-1");
    info.set_rf_count(1);
    info.set_rf_type(1);
    info.set_country_code(1);
    info.set_network_mode(3);
    info.set_bandwidth(1);
    info.set_channel(52);
    info.set_expand_channel(1);
    info.set_tx_power(20);
    info.set_tx_power_min(5);
    info.set_tx_power_max(26);
    info.set_ssid("lab");
    info.set_ssid_count(1);
    info.set_restart_type(34);
    info.set_restart_time(210);
    info.set_vlan_id(5);
    info.set_vlan_id_wlan(6);
    return ap_info_stu::Make("02:52:01:00:00:01", 1, DeviceStatus::Online, info);
}

SelectedDevice Device(const ap_info_stu& record) {
    return SelectedDevice::Make(IpBytesToText(record.device_info().ip()), record.mac(), record.ap_type());
}

TEST(ConfigureChanges, OnlyTouchedTabsCountAsChanged) {
    const ap_info_stu record = OffListRadio();
    const ConfigForms opening = OpenConfigForms(record);
    const ConfigCollect untouched = CollectConfigChanges(record, opening, opening, kNobody);
    ASSERT_TRUE(untouched.Accepted());
    EXPECT_TRUE(untouched.changes.Empty())
        << "a channel no list offers is not rewritten when nobody touched the wireless tab";

    ConfigForms renamed = opening;
    renamed.wireless.name = "Mast-2";
    const ConfigCollect name = CollectConfigChanges(record, opening, renamed, kNobody);
    ASSERT_TRUE(name.Accepted());
    EXPECT_EQ(name.changes.name, "Mast-2");
    EXPECT_FALSE(name.changes.wireless || name.changes.ip || name.changes.vlan || name.changes.schedule);

    ConfigForms tuned = opening;
    tuned.wireless.choices.SelectChannel(tuned.wireless.choices.channels().IndexOf(36));
    const ConfigCollect wireless = CollectConfigChanges(record, opening, tuned, kNobody);
    ASSERT_TRUE(wireless.changes.wireless);
    EXPECT_FALSE(wireless.changes.name);

    ConfigForms scheduled = opening;
    scheduled.schedule.enabled = true;
    EXPECT_TRUE(CollectConfigChanges(record, opening, scheduled, kNobody).changes.schedule);
    ConfigForms vlan = opening;
    vlan.vlan.enabled = true;
    EXPECT_TRUE(CollectConfigChanges(record, opening, vlan, kNobody).changes.vlan);
}

TEST(ConfigureChanges, TheFirstRefusingTabEndsTheSave) {
    const ap_info_stu record = OffListRadio();
    const ConfigForms opening = OpenConfigForms(record);
    ConfigForms bad = opening;
    bad.wireless.power = "27";
    bad.vlan.enabled = true;
    bad.vlan.manage = "0";
    const ConfigCollect wireless = CollectConfigChanges(record, opening, bad, kNobody);
    EXPECT_EQ(wireless.refusedBy, ConfigTab::Wireless);
    EXPECT_EQ(wireless.message, "Power value range:5-26");
    EXPECT_TRUE(wireless.changes.Empty());

    bad.wireless.power = "20";
    bad.wireless.name = "Mast-9";
    const ConfigCollect vlan = CollectConfigChanges(record, opening, bad, kNobody);
    EXPECT_EQ(vlan.refusedBy, ConfigTab::Vlan);
    EXPECT_EQ(vlan.message, "VLAN range:1-4094");
    EXPECT_TRUE(vlan.changes.Empty()) << "nothing of a refused Save is sent";

    ConfigForms ip = opening;
    ip.ip.ip = "10.99.1.200";
    ip.schedule.enabled = true;
    ip.schedule.hour = "24";
    EXPECT_EQ(
        CollectConfigChanges(record, opening, ip, [](const std::string& a) { return a == "10.99.1.200"; })
            .refusedBy,
        ConfigTab::Ip);
    EXPECT_EQ(CollectConfigChanges(record, opening, ip, kNobody).refusedBy, ConfigTab::Schedule);
}

TEST(ConfigurePlan, ChangedBlocksGoInTheDialogsOrderWithTheApplyFlags) {
    const ap_info_stu record = OffListRadio();
    const ConfigForms opening = OpenConfigForms(record);
    ConfigForms all = opening;
    all.wireless.name = "Mast-2";
    all.wireless.ssid = "field";
    all.ip.ip = "10.99.1.20";
    all.vlan.enabled = true;
    all.schedule.enabled = true;
    const ConfigCollect collected = CollectConfigChanges(record, opening, all, kNobody);
    ASSERT_TRUE(collected.Accepted()) << collected.message;
    const std::vector<BatchPlan> plans = PlanConfigure(Device(record), record, collected.changes);
    ASSERT_EQ(plans.size(), 5u);
    EXPECT_EQ(plans[0].type, MessageType::SetName);
    EXPECT_EQ(plans[1].type, MessageType::SetWireless);
    EXPECT_EQ(plans[2].type, MessageType::SetRebootSchedule);
    EXPECT_EQ(plans[3].type, MessageType::SetVlan);
    EXPECT_EQ(plans[4].type, MessageType::SetIp);
    EXPECT_EQ(plans[3].items[0].payload[kVlanBlockApplyOffset], 1) << "SetVlan applies both";
    EXPECT_EQ(plans[4].items[0].payload[kBlockApplyOffset], 0);
    EXPECT_EQ(plans[4].items[0].detailIp, "10.99.1.20");
    EXPECT_FALSE(plans[3].askDetails || plans[4].askDetails)
        << "both apply at the restart; nothing waits for details between them";
    EXPECT_TRUE(plans[3].applied && plans[4].applied) << "the details after the restart show both";
    EXPECT_EQ(plans[1].items[0].payload.size(), DeviceInfo::kRadioSettingsSize);
    EXPECT_EQ(plans[2].items[0].payload, (std::vector<uint8_t>{1, 34, 210, 0}));

    ConfigForms ipOnly = opening;
    ipOnly.ip.ip = "10.99.1.20";
    const auto ipPlans =
        PlanConfigure(Device(record), record, CollectConfigChanges(record, opening, ipOnly, kNobody).changes);
    ASSERT_EQ(ipPlans.size(), 1u);
    EXPECT_EQ(ipPlans[0].items[0].payload[kBlockApplyOffset], 1) << "alone, the IP change applies at once";

    ConfigForms vlanOnly = opening;
    vlanOnly.vlan.enabled = true;
    const auto vlanPlans = PlanConfigure(Device(record), record,
                                         CollectConfigChanges(record, opening, vlanOnly, kNobody).changes);
    ASSERT_EQ(vlanPlans.size(), 1u);
    EXPECT_EQ(vlanPlans[0].items[0].payload[kVlanBlockApplyOffset], 0);
    EXPECT_TRUE(PlanConfigure(Device(record), record, ConfigChanges{}).empty());
}

TEST(ConfigurePlan, VerificationReadsTheChangedFieldsFromTheDetails) {
    const ap_info_stu record = OffListRadio();
    ConfigChanges changes;
    ConfigForms forms = OpenConfigForms(record);
    forms.wireless.power = "12";
    changes.wireless = CollectWirelessSettings(forms.wireless, record.device_info(), 1).radio;
    const auto plans = PlanConfigure(Device(record), record, changes);
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_FALSE(plans[0].applied(plans[0].items[0], record));
    DeviceInfo after = record.device_info();
    after.set_tx_power(12);
    after.set_channel(0);
    after.set_expand_channel(2);
    EXPECT_TRUE(
        plans[0].applied(plans[0].items[0], ap_info_stu::Make(record.mac(), 1, DeviceStatus::Online, after)));

    ConfigChanges schedule;
    schedule.schedule = RebootScheduleBlock{1, 34, 210, 0};
    const auto schedulePlan = PlanConfigure(Device(record), record, schedule);
    ASSERT_EQ(schedulePlan.size(), 1u);
    EXPECT_FALSE(schedulePlan[0].applied(schedulePlan[0].items[0], record)) << "stored: off, 03:30 Mon+Fri";
    DeviceInfo on = record.device_info();
    on.set_restart_en(1);
    EXPECT_TRUE(schedulePlan[0].applied(schedulePlan[0].items[0],
                                        ap_info_stu::Make(record.mac(), 1, DeviceStatus::Online, on)));
}

TEST(ConfigurePlan, ADryRunDescribesEachRequestsOwnChangesAndNeverAKey) {
    const ap_info_stu record = OffListRadio();
    const ConfigForms opening = OpenConfigForms(record);
    ConfigForms all = opening;
    all.wireless.name = "Mast-2";
    all.wireless.security.mode = 3;
    all.wireless.security.pskKey = "secret-key-1";
    all.vlan.enabled = true;
    all.vlan.manage = "10";
    all.vlan.wlan = "20";
    const ConfigCollect collected = CollectConfigChanges(record, opening, all, kNobody);
    ASSERT_TRUE(collected.Accepted()) << collected.message;
    const DeviceInfo before = record.device_info();
    std::vector<std::vector<std::string>> described;
    for (const BatchPlan& plan : PlanConfigure(Device(record), record, collected.changes)) {
        described.push_back(
            DescribeSettingChanges(before, WithConfigBlock(before, collected.changes, plan.type)));
    }
    ASSERT_EQ(described.size(), 3u);
    EXPECT_EQ(described[0], std::vector<std::string>{"ap_name: Mast-1 -> Mast-2"});
    const std::vector<std::string>& wireless = described[1];
    EXPECT_NE(std::ranges::find(wireless, "wpapsk_key_value: (changed)"), wireless.end());
    EXPECT_NE(std::ranges::find(wireless, "secure_mode: 0 (" + SecureModeText(0) + ") -> 3 (" +
                                              SecureModeText(3) + ")"),
              wireless.end());
    for (const std::string& line : wireless) {
        EXPECT_EQ(line.find("secret-key-1"), std::string::npos) << line;
        EXPECT_FALSE(line.starts_with("ap_name") || line.starts_with("vlan"))
            << "not this request's: " << line;
    }
    EXPECT_EQ(described[2],
              (std::vector<std::string>{"vlan_en: 0 -> 1", "vlan_id: 5 -> 10", "vlan_id_wlan: 6 -> 20"}));
    EXPECT_TRUE(DescribeSettingChanges(before, before).empty());
}

} // namespace
} // namespace rf
