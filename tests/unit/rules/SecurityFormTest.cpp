#include "rules/SecurityForm.h"

#include <gtest/gtest.h>
#include <string>

namespace rf {
namespace {

constexpr const char* kPskMessage = "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!";
constexpr const char* kRenewalRange = "The key update interval range: 60~99999 or 0!";
constexpr const char* kWepHex = "WEP key is invalid! Please enter 10 or 26 HEX characters!";
constexpr const char* kWepAscii = "WEP key is invalid! Please enter 5 or 13 ASCII characters!";

SecurityForm Psk(const std::string& key, const std::string& renewal = "3600") {
    SecurityForm form;
    form.mode = 3;
    form.pskKey = key;
    form.pskRenewal = renewal;
    return form;
}

SecurityForm Wep(int defaultKey) {
    SecurityForm form;
    form.mode = 1;
    form.wepDefaultKey = defaultKey;
    return form;
}

SecurityForm Radius(const std::string& server, const std::string& port) {
    SecurityForm form;
    form.mode = 6;
    form.radiusServer = server;
    form.radiusPort = port;
    form.radiusKey = "secret";
    form.radiusRenewal = "0";
    return form;
}

TEST(SecurityRules, PreSharedKeysAndRenewal) {
    EXPECT_EQ(ValidateSecurity(Psk(std::string(63, 'g'))), "");
    EXPECT_EQ(ValidateSecurity(Psk(std::string(64, 'g'))), kPskMessage) << "64 characters must be hex";
    EXPECT_EQ(ValidateSecurity(Psk(std::string(64, 'a'))), "");
    EXPECT_EQ(ValidateSecurity(Psk("1234567")), kPskMessage);
    EXPECT_EQ(ValidateSecurity(Psk("12345678")), "");
    EXPECT_EQ(ValidateSecurity(Psk("schlüssel-1")), kPskMessage);
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "")), "The key update interval should not be empty!");
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "59")), kRenewalRange);
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "0")), "");
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "60")), "");
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "99999")), "");
    EXPECT_EQ(ValidateSecurity(Psk("12345678", "100000")), kRenewalRange);
    SecurityForm none = Psk("");
    none.mode = 0;
    EXPECT_EQ(ValidateSecurity(none), "") << "no security checks nothing";
}

TEST(SecurityRules, WepKeysFollowTheirTypeAndTheDefaultKeyMustBeGiven) {
    SecurityForm hex = Wep(1);
    hex.wepKeys[0] = "0123456789";
    hex.wepKeyTypes[0] = 1;
    EXPECT_EQ(ValidateSecurity(hex), "");
    SecurityForm ascii = hex;
    ascii.wepKeyTypes[0] = 0;
    EXPECT_EQ(ValidateSecurity(ascii), kWepAscii);
    SecurityForm badHex = hex;
    badHex.wepKeys[0] = "012345678g";
    EXPECT_EQ(ValidateSecurity(badHex), kWepHex);
    SecurityForm odd = Wep(1);
    odd.wepKeys[0] = "  abc\xc3\xa9"
                     "d"; // five characters after the leading blanks, one not ASCII
    EXPECT_EQ(ValidateSecurity(odd),
              "WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!");
    SecurityForm third = Wep(3);
    third.wepKeys[0] = "abcde";
    third.wepKeys[1] = "abcdefghijklm";
    EXPECT_EQ(ValidateSecurity(third), "Please enter the WEP key3!");
    third.wepKeys[3] = "abc";
    EXPECT_EQ(ValidateSecurity(third), kWepAscii) << "every non-empty key is checked before the default one";
}

TEST(SecurityRules, RadiusServerPortAndKey) {
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.1", "1812")), "");
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.255", "1812")), "Please enter a valid RADIUS Server address!");
    EXPECT_EQ(ValidateSecurity(Radius("127.0.0.1", "1812")), "Please enter a valid RADIUS Server address!");
    EXPECT_EQ(ValidateSecurity(Radius("224.0.0.1", "1812")), "Please enter a valid RADIUS Server address!");
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.1", "0")), "Please specify a valid RADIUS Port!");
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.1", "")), "Please specify a valid RADIUS Port!");
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.1", "65536")), "Please specify a valid RADIUS Port!");
    EXPECT_EQ(ValidateSecurity(Radius("10.0.0.1", "65535")), "");
    SecurityForm noKey = Radius("10.0.0.1", "1812");
    noKey.radiusKey.clear();
    EXPECT_EQ(ValidateSecurity(noKey), "Please enter a key for 1~64 ASCII characters!");
}

TEST(SecurityRules, AModeTheTabCannotEditIsNeitherCheckedNorWritten) {
    SecurityBlock stored;
    stored.set_secure_mode(9); // with RADIUS port 0, which the RADIUS rules refuse
    SecurityForm kept = OpenSecurityForm(stored);
    EXPECT_EQ(ValidateSecurity(kept), "");
    kept.radiusKey = "typed over";
    SecurityBlock written = stored;
    WriteSecurity(kept, written);
    EXPECT_TRUE(written == stored) << "sent back exactly as the device holds it";
}

TEST(SecurityRules, ModeChangesAndWritingKeepOtherModesFields) {
    SecurityForm form = Psk("12345678");
    form.pskCipher = 2;
    ChooseSecurityMode(form, 2);
    EXPECT_EQ(form.pskCipher, 0) << "WPA-PSK offers no TKIP&AES";
    ChooseSecurityMode(form, 3);
    form.pskCipher = 2;
    ChooseSecurityMode(form, 4);
    EXPECT_EQ(form.pskCipher, 2);

    SecurityBlock stored;
    stored.set_secure_mode(3);
    stored.set_wpapsk_key_value("old-psk-key");
    stored.set_wpa_key("radius");
    stored.set_wep_key_index(2);
    SecurityForm wep = OpenSecurityForm(stored);
    EXPECT_EQ(wep.wepDefaultKey, 2);
    ChooseSecurityMode(wep, 1);
    wep.wepKeys[0] = " 0123456789";
    wep.wepKeyTypes[0] = 1;
    wep.wepDefaultKey = 1;
    ASSERT_EQ(ValidateSecurity(wep), "");
    SecurityBlock written = stored;
    WriteSecurity(wep, written);
    EXPECT_EQ(written.secure_mode(), 1);
    EXPECT_EQ(written.wep_key_value(0), "0123456789") << "sent without the leading blank";
    EXPECT_EQ(written.wep_key_type(0), 1);
    EXPECT_EQ(written.wep_key_index(), 1);
    EXPECT_EQ(written.wpapsk_key_value(), "old-psk-key");
    EXPECT_EQ(written.wpa_key(), "radius");

    SecurityForm radius = Radius("10.9.8.7", "1813");
    SecurityBlock r = stored;
    WriteSecurity(radius, r);
    EXPECT_EQ(r.wpa_radius_ip(), (Ipv4Bytes{10, 9, 8, 7}));
    EXPECT_EQ(r.wpa_radius_port(), 1813);
    EXPECT_EQ(r.wpa_key(), "secret");
    EXPECT_EQ(r.wpapsk_key_value(), "old-psk-key");
}

} // namespace
} // namespace rf
