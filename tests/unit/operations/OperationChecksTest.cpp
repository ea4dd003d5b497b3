#include "operations/OperationChecks.h"
#include "core/Language.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"
#include "store/SqlManagement.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using Macs = std::vector<std::string>;
const std::string kA = "02:00:00:00:00:0a", kB = "02:00:00:00:00:0b", kC = "02:00:00:00:00:0c";

// A and C take transparent bridging, B (model 4) does not; the mode switch of A is off, of B at AP, of C
// at station. D, outside every batch here, holds 10.99.1.13.
class OperationChecks : public ::testing::Test {
protected:
    OperationChecks() : store_(dir_.Dir()) {
        Store(kA, "10.99.1.10", 257, 0);
        Store(kB, "10.99.1.11", 4, 1);
        Store(kC, "10.99.1.12", 257, 2);
        Store("02:00:00:00:00:0d", "10.99.1.13", 257, 0);
    }
    void Store(const std::string& mac, const std::string& ip, uint16_t model, uint8_t modeSwitch) {
        DeviceInfo info;
        info.set_ip(IpTextToBytes(ip));
        info.set_work_mode(1);
        info.set_mode_btn_status(modeSwitch);
        ASSERT_TRUE(store_.SaveDeviceInfo(ApInfo::Make(mac, model, 1, info)));
    }
    ap_info_stu Stored(const std::string& mac) {
        ap_info_stu record;
        store_.GetDevice(mac, record);
        return record;
    }
    SelectedDevice Device(const std::string& mac) {
        const ap_info_stu record = Stored(mac);
        return SelectedDevice::Make(IpBytesToText(record.device_info().ip()), mac, record.ap_type());
    }
    // The refusal, or an empty one with no key when the check accepted.
    static Refusal Why(const CheckResult& result) { return result.refusal.value_or(Refusal{}); }
    static Macs Addresses(const BatchPlan& plan) {
        Macs ips;
        for (const BatchItem& item : plan.items) {
            ips.push_back(item.sendable ? item.detailIp : "-");
        }
        return ips;
    }
    test::TempDir dir_;
    CSqlManagement store_;
};

TEST_F(OperationChecks, OwnAddressIsFreeAndARangeOfOneIsExactlyTheSingleCheck) {
    const IpSettingsTexts cases[] = {
        {"10.99.1.10", "255.255.255.0", "", "8.8.8.8", ""}, // its own address, new DNS
        {"10.99.001.011", "255.255.255.0", "", "", ""},     // B's, written otherwise
        {"10.99.1.30", "255.255.255.255", "", "", ""},      // no mask
    };
    for (const IpSettingsTexts& texts : cases) {
        const CheckResult single = CheckSetIp(store_, Device(kA), texts);
        const CheckResult range = CheckIpRange(store_, {Device(kA)}, texts, "no end for one device");
        ASSERT_EQ(range.Accepted(), single.Accepted()) << texts.ip;
        if (single.Accepted()) {
            EXPECT_EQ(range.plan.items.at(0).payload, single.plan.items.at(0).payload);
        } else {
            EXPECT_EQ(Why(range).messageKey, Why(single).messageKey);
            EXPECT_EQ(Why(range).macs, Why(single).macs);
        }
    }
    EXPECT_EQ(CheckSetIp(store_, Device(kA), cases[0]).plan.items.at(0).detailIp, "10.99.1.10");
    const CheckResult taken = CheckSetIp(store_, Device(kA), cases[1]);
    EXPECT_EQ(Why(taken).messageKey, kAddressInUseMessage);
    EXPECT_EQ(Why(taken).macs, (Macs{kA, kB})) << "the device set, then the one holding the address";
}

TEST_F(OperationChecks, ARangeSkipsOnlyAddressesHeldOutsideTheBatch) {
    const std::vector<SelectedDevice> batch{Device(kA), Device(kB), Device(kC)};
    const IpSettingsTexts shared{"10.99.1.11", "255.255.255.0", "10.99.1.1", "", ""};
    const CheckResult wide = CheckIpRange(store_, batch, shared, "10.99.1.30");
    ASSERT_TRUE(wide.Accepted());
    EXPECT_EQ(Addresses(wide.plan), (Macs{"10.99.1.11", "10.99.1.12", "10.99.1.14"}));
    const CheckResult narrow = CheckIpRange(store_, batch, shared, "10.99.1.13");
    EXPECT_EQ(Addresses(narrow.plan), (Macs{"10.99.1.11", "10.99.1.12", "-"}));
    EXPECT_EQ(DevicesWithoutAddress(narrow.plan), Macs{kC});
    const CheckResult upsideDown = CheckIpRange(store_, batch, shared, "10.99.1.5");
    EXPECT_EQ(Why(upsideDown).messageKey, kInvalidIpMessage);
    EXPECT_EQ(Why(upsideDown).macs, (Macs{kA, kB, kC}));
}

TEST_F(OperationChecks, BridgingAndNamesFollowTheDevicesModelAndModeSwitch) {
    const CheckResult mixed = CheckTransparentBridge(store_, {Device(kA), Device(kB), Device(kC)}, true);
    EXPECT_EQ(Why(mixed).messageKey, kNotConfigurableMessage);
    EXPECT_EQ(Why(mixed).macs, Macs{kB});
    EXPECT_EQ(CheckTransparentBridge(store_, {Device(kA), Device(kC)}, true).plan.items.size(), 2u);

    EXPECT_FALSE(CheckBridgeStart(Stored(kA)));
    EXPECT_FALSE(CheckBridgeStart(Stored(kC))) << "the station position";
    const CheckResult atAp = CheckBridge(Stored(kB), Stored(kB).device_info());
    EXPECT_EQ(Why(atAp).messageKey, kModeSwitchMessage);
    EXPECT_EQ(Why(atAp).macs, Macs{kB});
    EXPECT_EQ(CheckBridge(Stored(kC), Stored(kC).device_info()).plan.items.at(0).mac, kC);

    EXPECT_EQ(Why(CheckRename(Device(kB), "Mast", "a b")).messageKey, kStrictNameMessage);
    EXPECT_EQ(CheckRename(Device(kA), "Mast", "a b").plan.type, MessageType::SetName);
}

TEST_F(OperationChecks, ARenameToTheOwnNameIsNoChangeAndTheStrictRuleSaysCapitalsAreLetters) {
    const CheckResult own = CheckRename(Device(kB), "Mast 2", "Mast 2");
    EXPECT_TRUE(own.Accepted()) << "a name the device came with is not judged again";
    EXPECT_TRUE(own.plan.items.empty()) << "nothing to send";
    EXPECT_EQ(Why(CheckRename(Device(kB), "Mast 2", "Mast 3")).messageKey, kStrictNameMessage);

    EXPECT_EQ(CheckRename(Device(kB), "Mast 2", "Mast-B2").plan.items.size(), 1u) << "capitals pass";
    const std::string message = Translate(kStrictNameMessage);
    EXPECT_EQ(message.find("lowercase"), std::string::npos) << message;
    EXPECT_NE(std::string(kStrictNameMessage).find("capital"), std::string::npos);
}

} // namespace
} // namespace rf
