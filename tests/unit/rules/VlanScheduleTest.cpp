#include "protocol/DeviceInfo.h"
#include "protocol/Wire.h"
#include "rules/RebootScheduleForm.h"
#include "rules/VlanForm.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

uint16_t Id(const VlanSettingsBlock& block, size_t recordOffset) {
    return LoadU16(block, recordOffset - DeviceInfo::kVlanSettingsOffset);
}

std::string VlanRefusal(const std::string& manage, const std::string& wlan) {
    return CollectVlanSettings({true, manage, wlan, "0"}).message;
}

TEST(VlanTab, IdsMustLieWithinOneTo4094) {
    EXPECT_EQ(VlanRefusal("0", "10"), kVlanRangeMessage);
    EXPECT_EQ(VlanRefusal("", "10"), kVlanRangeMessage);
    EXPECT_EQ(VlanRefusal("10", ""), kWlanRangeMessage);
    EXPECT_EQ(VlanRefusal("", ""), kVlanRangeMessage) << "the manage id is checked first";
    EXPECT_EQ(VlanRefusal("4095", "10"), kVlanRangeMessage);
    EXPECT_EQ(VlanRefusal("10", "4095"), kWlanRangeMessage);
    EXPECT_EQ(VlanRefusal("99999999999999999999", "10"), kVlanRangeMessage);
    EXPECT_EQ(VlanRefusal("4094", "1"), "");
}

TEST(VlanTab, BlocksCarryTheIdsAndTheHiddenWiredId) {
    DeviceInfo stored;
    stored.set_vlan_en(1);
    stored.set_vlan_id(10);
    stored.set_vlan_id_wlan(20);
    stored.set_vlan_id_lan(30);
    VlanForm form = OpenVlanForm(stored);
    EXPECT_TRUE(form.enabled);
    form.manage = "11";
    const VlanCollect on = CollectVlanSettings(form);
    ASSERT_EQ(on.message, "");
    EXPECT_EQ(on.block[0], 1);
    EXPECT_EQ(Id(on.block, DeviceInfo::kVlanIdOffset), 11);
    EXPECT_EQ(Id(on.block, DeviceInfo::kVlanIdWlanOffset), 20);
    EXPECT_EQ(Id(on.block, DeviceInfo::kVlanIdLanOffset), 30) << "sent back although never shown";
    EXPECT_EQ(on.block[kVlanBlockApplyOffset], 0);

    form.enabled = false;
    form.manage = "not checked when off";
    const VlanCollect off = CollectVlanSettings(form);
    EXPECT_EQ(off.message, "");
    EXPECT_EQ(off.block, VlanSettingsBlock{}) << "off sends zero ids";
}

RebootScheduleBlock Schedule(uint8_t en, uint8_t days, uint16_t minutes) {
    RebootScheduleBlock block{en, days, 0, 0};
    StoreU16(block, 2, minutes);
    return block;
}

std::string ScheduleRefusal(const std::string& hour, const std::string& minute, bool anyDay = true) {
    RebootScheduleForm form;
    form.enabled = true;
    form.hour = hour;
    form.minute = minute;
    form.days[0] = anyDay;
    return CollectRebootSchedule(form, {}).message;
}

TEST(ScheduleTab, TimeAndDaysAreChecked) {
    EXPECT_EQ(ScheduleRefusal("", "30"), kTimeEmptyMessage);
    EXPECT_EQ(ScheduleRefusal("3", ""), kTimeEmptyMessage);
    EXPECT_EQ(ScheduleRefusal("24", "0"), kTimeErrorMessage);
    EXPECT_EQ(ScheduleRefusal("23", "60"), kTimeErrorMessage);
    EXPECT_EQ(ScheduleRefusal("23", "59", false), kNoDayMessage);
    EXPECT_EQ(ScheduleRefusal("23", "59"), "");
    RebootScheduleForm off;
    off.hour = "99";
    EXPECT_EQ(CollectRebootSchedule(off, {}).message, "") << "an unticked schedule checks nothing";
}

TEST(ScheduleTab, DayBitsAndMinutes) {
    RebootScheduleForm form;
    form.enabled = true;
    form.hour = "23";
    form.minute = "59";
    form.days[0] = form.days[4] = true; // Monday, Friday
    EXPECT_EQ(CollectRebootSchedule(form, {}).block, Schedule(1, 34, 1439));
    form.hour = "3";
    form.minute = "30";
    EXPECT_EQ(CollectRebootSchedule(form, {}).block, Schedule(1, 2 | 32, 210));

    SetEveryday(form, true);
    EXPECT_EQ(CollectRebootSchedule(form, {}).block[1], kEveryDayBits) << "Everyday adds no bit of its own";

    const RebootScheduleForm all = OpenRebootScheduleForm(Schedule(1, 254, 1370));
    EXPECT_TRUE(all.everyday);
    EXPECT_EQ(all.hour, "22");
    EXPECT_EQ(all.minute, "50");
    EXPECT_FALSE(OpenRebootScheduleForm(Schedule(1, 252, 0)).everyday);

    RebootScheduleForm untick = OpenRebootScheduleForm(Schedule(1, 34, 1439));
    untick.enabled = false;
    EXPECT_EQ(CollectRebootSchedule(untick, Schedule(1, 34, 1439)).block, Schedule(0, 34, 1439))
        << "unticking keeps the stored days and time";
}

TEST(ScheduleTab, DayListsOfTheCommandLine) {
    EXPECT_EQ(ParseDays("everyday"), kEveryDayBits);
    EXPECT_EQ(ParseDays("mon,fri"), 2 | 32);
    EXPECT_EQ(ParseDays("SUN"), 128);
    EXPECT_FALSE(ParseDays("mon,funday"));
    EXPECT_FALSE(ParseDays(""));
    EXPECT_FALSE(ParseDays("mon,"));
}

} // namespace
} // namespace rf
