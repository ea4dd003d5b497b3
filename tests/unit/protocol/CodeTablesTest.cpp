#include "protocol/CodeTables.h"
#include "core/Language.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace rf {
namespace {

// Translations that differ from their keys, so that the tests see whether a text was translated.
class CodeTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("Languages/Language.ini", "[LCID]\n1033=English\n");
        dir_.Write("Languages/English.lng", "[ProgramOutStr]\nOnline=Up\nOutline=Down\nUpgrade fail=Broken\n"
                                            "Station=Client\nWPA2_PSK=WPA2 personal\nAuto=automatic\n"
                                            "On2=enabled\nOff2=disabled\nN/A=none\n"
                                            "%1 d %2=%1 days, %2\n");
        SetLanguageIdOverride(1033);
        LoadLanguage(dir_.Dir());
    }
    void TearDown() override { SetLanguageIdOverride(0); }

    test::TempDir dir_;
};

TEST_F(CodeTablesTest, StatusTextsAreTranslatedAndUnknownCodesEmpty) {
    EXPECT_EQ(StatusText(0), "Down");
    EXPECT_EQ(StatusText(1), "Up");
    EXPECT_EQ(StatusText(9), "Broken");
    EXPECT_EQ(StatusText(5), "Reseting") << "a key without translation shows itself";
    EXPECT_EQ(StatusText(10), "") << "announced but not detailed";
    EXPECT_EQ(StatusText(-1), "");
    EXPECT_EQ(StatusText(11), "Address conflict");
    EXPECT_EQ(StatusText(12), "");
}

// Each named status is the code the devices' replies and the store agree on, with the text of that code.
TEST_F(CodeTablesTest, NamedStatusesKeepTheirStoredCodesAndTexts) {
    const std::pair<DeviceStatus, const char*> table[] = {
        {DeviceStatus::Outline, "Down"},
        {DeviceStatus::Online, "Up"},
        {DeviceStatus::BridgeSuccess, "Bridge success"},
        {DeviceStatus::BridgeFail, "Bridge fail"},
        {DeviceStatus::Restarting, "Restarting"},
        {DeviceStatus::Resetting, "Reseting"},
        {DeviceStatus::UpgradeWait, "Upgrade wait"},
        {DeviceStatus::Upgrading, "Upgrading"},
        {DeviceStatus::UpgradeSuccess, "Upgrade success"},
        {DeviceStatus::UpgradeFail, "Broken"},
        {DeviceStatus::Announced, ""},
    };
    int32_t code = 0;
    for (const auto& [status, text] : table) {
        EXPECT_EQ(ToCode(status), code) << text;
        EXPECT_EQ(DeviceStatusFromCode(code), status);
        EXPECT_EQ(StatusText(status), text);
        EXPECT_EQ(StatusText(code), text) << "the code and the name read the same";
        ++code;
    }
    EXPECT_EQ(StatusText(DeviceStatusFromCode(42)), "") << "an unknown stored code keeps no text";
}

TEST_F(CodeTablesTest, ModelTextsAndCodes) {
    EXPECT_EQ(ModelText(0), "Rasko");
    EXPECT_EQ(ModelText(264), "Rasko");
    EXPECT_EQ(ModelText(-5), "Rasko");
    EXPECT_EQ(ModelText(7), "TolvaV1.0");
    EXPECT_EQ(ModelText(261), "Lumio");
    EXPECT_EQ(ModelCode("HorskV2.0"), 263);
    EXPECT_EQ(ModelCode("Zaret"), 2);
    EXPECT_EQ(ModelCode("zaret"), 1) << "names compare exactly";
    EXPECT_EQ(ModelCode("Unheard"), 1);
    EXPECT_EQ(ModelCode(""), 1);
    for (int code : {1, 2, 3, 4, 5, 6, 7, 257, 258, 259, 260, 261, 262, 263}) {
        EXPECT_EQ(ModelCode(ModelText(code)), code) << code;
    }
}

TEST_F(CodeTablesTest, WorkSecurityAndChannelTexts) {
    EXPECT_EQ(WorkModeText(2), "Client");
    EXPECT_EQ(WorkModeText(1), "AP");
    EXPECT_EQ(WorkModeText(7), "Router");
    EXPECT_EQ(WorkModeText(0), "");
    EXPECT_EQ(WorkModeText(8), "");
    EXPECT_EQ(SecureModeText(0), "Disable");
    EXPECT_EQ(SecureModeText(3), "WPA2 personal");
    EXPECT_EQ(SecureModeText(6), "WPA2");
    EXPECT_EQ(SecureModeText(7), "");
    EXPECT_EQ(SecureModeText(-1), "");
    EXPECT_EQ(ChannelText(0), "automatic");
    EXPECT_EQ(ChannelText(149), "149");
}

TEST_F(CodeTablesTest, TransparentBridgeTexts) {
    EXPECT_EQ(TransparentBridgeText(261, 1, 1), "none");
    EXPECT_EQ(TransparentBridgeText(4, 2, 0), "none");
    EXPECT_EQ(TransparentBridgeText(257, 2, 1), "enabled");
    EXPECT_EQ(TransparentBridgeText(1, 3, 0), "disabled");
    EXPECT_EQ(TransparentBridgeText(1, 1, 7), "enabled") << "any non-zero flag is on";
    for (int mode : {4, 5, 6, 7}) {
        EXPECT_EQ(TransparentBridgeText(1, mode, 1), "none") << mode;
    }
    EXPECT_EQ(TransparentBridgeText(1, 8, 1), "enabled");
}

TEST_F(CodeTablesTest, UptimeTexts) {
    EXPECT_EQ(UptimeText(86400), "1 0:0:0");
    EXPECT_EQ(UptimeText(59), "0:0:59");
    EXPECT_EQ(UptimeText(3725), "1:2:5");
    EXPECT_EQ(UptimeText(0), "0:0:0");
    EXPECT_EQ(UptimeText(86399), "23:59:59");
    EXPECT_EQ(UptimeText(90061), "1 1:1:1");
    EXPECT_EQ(UptimeText(4294967295u), "49710 6:28:15") << "the largest value stays positive";
}

TEST_F(CodeTablesTest, ShownUptimesPadTheClockAndNameTheDaysInTheLanguage) {
    EXPECT_EQ(UptimeDisplayText(13 * 86400 + 3726), "13 days, 01:02:06");
    EXPECT_EQ(UptimeDisplayText(3725), "01:02:05");
    EXPECT_EQ(UptimeDisplayText(0), "00:00:00");
    EXPECT_EQ(UptimeDisplayText(4294967295u), "49710 days, 06:28:15");
}

TEST(AddressTexts, IpTextsConvertBothWays) {
    EXPECT_EQ(IpTextToBytes(""), (Ipv4Bytes{0, 0, 0, 0}));
    EXPECT_EQ(IpTextToBytes("10.0.0.1"), (Ipv4Bytes{0x0A, 0x00, 0x00, 0x01}));
    EXPECT_EQ(IpTextToBytes("255.255.255.255"), (Ipv4Bytes{255, 255, 255, 255}));
    EXPECT_EQ(IpBytesToText(Ipv4Bytes{192, 168, 0, 100}), "192.168.0.100");
    EXPECT_EQ(IpBytesToText(Ipv4Bytes{0, 0, 0, 0}), "0.0.0.0");
    EXPECT_EQ(ParseIpText("172.16.5.4"), (Ipv4Bytes{172, 16, 5, 4}));
}

TEST(AddressTexts, MalformedIpTextsGiveZeroAndNoValue) {
    for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4.5", "a.b.c.d", "1..2.3", " 1.2.3.4", "1.2.3.4 ",
                            "-1.2.3.4", "1.2.3.4x", "1000.2.3.4", "1.2.3.", ".1.2.3", "99999999999.1.1.1"}) {
        EXPECT_EQ(IpTextToBytes(bad), (Ipv4Bytes{0, 0, 0, 0})) << bad;
        EXPECT_FALSE(ParseIpText(bad)) << bad;
    }
    EXPECT_FALSE(ParseIpText(""));
}

TEST(AddressTexts, MacTextsConvertBothWays) {
    const MacAddress mac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    EXPECT_EQ(MacTextToBytes("00:1a:2b:3c:4d:5e"), mac);
    EXPECT_EQ(MacTextToBytes("00:1A:2B:3C:4D:5E"), mac);
    EXPECT_EQ(MacTextToBytes("0:1a:2b:3c:4d:5e"), mac) << "one digit is enough, as when scanning with %02x";
    EXPECT_EQ(MacBytesToText(MacAddress{0xAB, 0xCD, 0xEF, 0x01, 0x02, 0xFF}), "ab:cd:ef:01:02:ff");
    EXPECT_EQ(MacTextToBytes(""), (MacAddress{}));
    for (const char* bad : {"00:1a:2b:3c:4d", "00:1a:2b:3c:4d:5e:", "00-1a-2b-3c-4d-5e", "0g:1a:2b:3c:4d:5e",
                            "000:1a:2b:3c:4d:5e", "00:1a:2b:3c:4d:5e6"}) {
        EXPECT_EQ(MacTextToBytes(bad), (MacAddress{})) << bad;
        EXPECT_FALSE(ParseMacText(bad)) << bad;
    }
}

std::string ReadBundleFile(const std::string& name) {
    std::ifstream in(std::string(RF_SOURCE_DIR) + "/bundle/Languages/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(LanguageFiles, EveryCodeTableKeyHasATranslation) {
    const char* keys[] = {"Outline",
                          "Online",
                          "Bridge success",
                          "Bridge fail",
                          "Restarting",
                          "Reseting",
                          "Upgrade wait",
                          "Upgrading",
                          "Upgrade success",
                          "Upgrade fail",
                          "Address conflict",
                          "AP",
                          "Station",
                          "Universal Repeater",
                          "Repeater",
                          "P2MP",
                          "WISP",
                          "Router",
                          "Disable",
                          "WEP",
                          "WPA_PSK",
                          "WPA2_PSK",
                          "WPAWPA2_PSK",
                          "WPA",
                          "WPA2",
                          "Auto",
                          "On2",
                          "Off2"};
    for (const char* file : {"English.lng", "Chinese.lng"}) {
        const std::string text = ReadBundleFile(file);
        ASSERT_FALSE(text.empty()) << file;
        for (const char* key : keys) {
            EXPECT_NE(text.find("\n" + std::string(key) + "="), std::string::npos) << file << ": " << key;
        }
    }
}

} // namespace
} // namespace rf
