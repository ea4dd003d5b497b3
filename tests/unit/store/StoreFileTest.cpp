#include "StoreFixture.h"
#include "core/WritableDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace rf::test {
namespace {

namespace fs = std::filesystem;

TEST(StoreFile, LeftoverFilesOfAnEarlierRunAreReplacedAndNothingRemainsAtTheEnd) {
    TempDir dir;
    dir.Write("data.mdb", "not a database, left over from a crash");
    dir.Write("data.mdb-journal", "stale journal");
    {
        CSqlManagement store(dir.Dir());
        ASSERT_TRUE(store.IsOpen()) << store.OpenError();
        EXPECT_EQ(store.GetDatabasePath(), dir.Dir() + "data.mdb");
        EXPECT_FALSE(fs::exists(dir.Path() / "data.mdb-journal"));

        std::vector<std::string> macs;
        EXPECT_TRUE(store.ListDeviceMacs(macs));
        EXPECT_TRUE(macs.empty());
        EXPECT_TRUE(store.SaveDeviceInfo(MakeDevice("00:11:22:33:44:55", "10.0.0.1")));
        EXPECT_TRUE(store.ListDeviceMacs(macs));
        EXPECT_EQ(macs, std::vector<std::string>{"00:11:22:33:44:55"});
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(StoreFile, TheFileIsReadableByTheUserAloneWhateverTheUmask) {
    TempDir dir;
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0377}}) {
        const mode_t previous = ::umask(mask);
        CSqlManagement store(dir.Dir());
        ::umask(previous);
        ASSERT_TRUE(store.IsOpen()) << store.OpenError();
        EXPECT_TRUE(store.SaveDeviceInfo(MakeDevice("00:11:22:33:44:55", "10.0.0.1")));
        struct stat info {};
        ASSERT_EQ(::stat(store.GetDatabasePath().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << "umask " << std::oct << mask;
    }
}

TEST(StoreFile, TwoStoresInTwoDirectoriesKeepTheirOwnDevices) {
    TempDir first;
    TempDir second;
    CSqlManagement a(first.Dir());
    CSqlManagement b(second.Dir());
    EXPECT_TRUE(a.SaveDeviceInfo(MakeDevice("00:00:00:00:00:0a", "10.0.0.1")));
    EXPECT_TRUE(b.SaveDeviceInfo(MakeDevice("00:00:00:00:00:0b", "10.0.0.2")));
    std::vector<std::string> macsA;
    std::vector<std::string> macsB;
    a.ListDeviceMacs(macsA);
    b.ListDeviceMacs(macsB);
    EXPECT_EQ(macsA, std::vector<std::string>{"00:00:00:00:00:0a"});
    EXPECT_EQ(macsB, std::vector<std::string>{"00:00:00:00:00:0b"});
}

TEST(StoreFile, AStoreThatCannotOpenItsFileSaysWhyAndAnswersEveryOperationEmpty) {
    TempDir dir;
    CSqlManagement store(dir.Dir() + "missing/");
    EXPECT_FALSE(store.IsOpen());
    EXPECT_NE(store.OpenError(), "");

    std::vector<ap_info_stu> devices(1);
    int pages = 7;
    int online = 8;
    EXPECT_FALSE(store.QueryDevicePage(SortKey::IpAddress, "", true, 15, 1, devices, pages, online));
    EXPECT_EQ(devices.size(), 1u);
    EXPECT_EQ(pages, 7);
    EXPECT_EQ(online, 8);

    const auto known = MakeDevice("00:11:22:33:44:55", "10.0.0.1");
    ap_info_stu device = known;
    EXPECT_FALSE(store.GetDevice("00:11:22:33:44:55", device));
    EXPECT_TRUE(device == known);

    std::vector<std::string> texts{"kept"};
    EXPECT_FALSE(store.ListDeviceIps(texts));
    EXPECT_FALSE(store.ListDeviceMacs(texts));
    EXPECT_EQ(texts, std::vector<std::string>{"kept"});

    EXPECT_FALSE(store.Execute("DELETE FROM ap_info"));
    EXPECT_FALSE(store.SaveDeviceInfo(known));
    EXPECT_FALSE(store.UpdateUptime("10.0.0.1", "00:11:22:33:44:55", 5));
    EXPECT_FALSE(store.SetDeviceStatus("00:11:22:33:44:55", DeviceStatus::Restarting));
    EXPECT_EQ(store.GetDeviceStatus("00:11:22:33:44:55"), DeviceStatus::Outline);
    EXPECT_FALSE(store.IsUpgradeWaiting("00:11:22:33:44:55"));
    EXPECT_FALSE(store.MarkUpgrading("00:11:22:33:44:55"));
    EXPECT_FALSE(store.ClearFailedUpgrade("00:11:22:33:44:55"));
    EXPECT_FALSE(store.HasBridgedStation("00:11:22:33:44:55"));
    EXPECT_FALSE(store.DeleteDevice("00:11:22:33:44:55"));
    EXPECT_FALSE(store.ClearScannedAps());
    std::vector<ScannedApRecord> aps;
    EXPECT_FALSE(store.QueryScannedAps(0, true, aps));
    EXPECT_FALSE(store.SaveScanResults(std::vector<uint8_t>{1, 0, 0}));
}

TEST_F(StoreTest, TablesKeepTheirColumnsInFileOrder) {
    const std::vector<std::string> deviceColumns{"ID",
                                                 "mac",
                                                 "ap_type",
                                                 "ap_type_str",
                                                 "ap_status",
                                                 "ap_status_str",
                                                 "work_mode",
                                                 "work_mode_str",
                                                 "mode_btn_status",
                                                 "up_time",
                                                 "up_time_str",
                                                 "ip_mode",
                                                 "ip_num",
                                                 "ip",
                                                 "ip_mask",
                                                 "ip_gateway",
                                                 "ip_dns1",
                                                 "ip_dns2",
                                                 "ap_name",
                                                 "version",
                                                 "restart_en",
                                                 "restart_type",
                                                 "restart_time",
                                                 "rf_count",
                                                 "rf_en",
                                                 "rf_type",
                                                 "country_code",
                                                 "network_mode",
                                                 "bandwidth",
                                                 "channel",
                                                 "expand_channel",
                                                 "tx_power",
                                                 "tx_power_min",
                                                 "tx_power_max",
                                                 "ssid_count",
                                                 "ssid_rf_type",
                                                 "ssid_id",
                                                 "ssid_hide",
                                                 "ssid_mac",
                                                 "ssid",
                                                 "secure_mode",
                                                 "secure_mode_str",
                                                 "wpapsk_auth_type",
                                                 "wpapsk_key_value",
                                                 "wpapsk_key_time",
                                                 "wep_auth_type",
                                                 "wep_key_index",
                                                 "wep_key_value0",
                                                 "wep_key_type0",
                                                 "wep_key_value1",
                                                 "wep_key_type1",
                                                 "wep_key_value2",
                                                 "wep_key_type2",
                                                 "wep_key_value3",
                                                 "wep_key_type3",
                                                 "wpa_auth_type",
                                                 "wpa_radius_ip",
                                                 "wpa_radius_port",
                                                 "wpa_key",
                                                 "wpa_key_time",
                                                 "bridge_work_mode",
                                                 "bridge_mac",
                                                 "bridge_channel",
                                                 "bridge_ssid",
                                                 "vlan_en",
                                                 "vlan_id",
                                                 "vlan_id_wlan",
                                                 "vlan_id_lan",
                                                 "bridge_transparent",
                                                 "bridge_transparent_str"};
    const std::vector<std::string> scanColumns{"ID",          "packet_count", "packet_id", "icount",
                                               "mac",         "ssid",         "signal",    "channel",
                                               "secure_mode", "exchannel",    "bandwidth"};
    for (size_t i = 0; i < deviceColumns.size(); ++i) {
        EXPECT_EQ(Raw("SELECT name FROM pragma_table_info('ap_info') WHERE cid=" + std::to_string(i)),
                  deviceColumns[i]);
    }
    EXPECT_EQ(Raw("SELECT count(*) FROM pragma_table_info('ap_info')"), std::to_string(deviceColumns.size()));
    for (size_t i = 0; i < scanColumns.size(); ++i) {
        EXPECT_EQ(Raw("SELECT name FROM pragma_table_info('ap_other_info') WHERE cid=" + std::to_string(i)),
                  scanColumns[i]);
    }
    EXPECT_EQ(Raw("SELECT count(*) FROM pragma_table_info('ap_other_info')"),
              std::to_string(scanColumns.size()));

    EXPECT_EQ(Raw("SELECT type FROM pragma_table_info('ap_info') WHERE name='ip_num'"), "REAL");
    EXPECT_EQ(Raw("SELECT type FROM pragma_table_info('ap_info') WHERE name='up_time'"), "INTEGER");
    EXPECT_EQ(Raw("SELECT type FROM pragma_table_info('ap_info') WHERE name='mac'"), "TEXT");
    EXPECT_EQ(Raw("SELECT pk FROM pragma_table_info('ap_other_info') WHERE name='ID'"), "1");
    EXPECT_EQ(Raw("SELECT \"unique\" FROM pragma_index_list('ap_info') WHERE name='ap_info_mac'"), "1");
}

TEST_F(StoreTest, ExecuteRunsAStatementAndReportsABadOne) {
    EXPECT_TRUE(Store().SaveDeviceInfo(MakeDevice("00:11:22:33:44:55", "10.0.0.1")));
    EXPECT_TRUE(Store().Execute("UPDATE ap_info SET ap_name='renamed'"));
    EXPECT_EQ(Raw("SELECT ap_name FROM ap_info"), "renamed");
    EXPECT_FALSE(Store().Execute("UPDATE no_such_table SET x=1"));
}

// Environment variables set for one test and put back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WritableDirectory, ThePreferredDirectoryWhenWritableOtherwiseAPrivateFolderOfTheUser) {
    TempDir dir;
    EXPECT_EQ(ChooseWritableDirectory(dir.Dir()), dir.Dir());

    const std::string unwritable = dir.Dir() + "no-such-dir/";
    const std::string runtime = (dir.Path() / "run").string();
    fs::create_directories(runtime);
    {
        ScopedEnv env("XDG_RUNTIME_DIR", runtime.c_str());
        EXPECT_EQ(ChooseWritableDirectory(unwritable), runtime + "/radiofleet/");
        struct stat info {};
        ASSERT_EQ(::stat((runtime + "/radiofleet").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    {
        ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
        ScopedEnv cache("XDG_CACHE_HOME", (dir.Path() / "cache").c_str());
        EXPECT_EQ(ChooseWritableDirectory(unwritable), (dir.Path() / "cache").string() + "/radiofleet/");
    }
    {
        ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
        ScopedEnv noCache("XDG_CACHE_HOME", nullptr);
        ScopedEnv home("HOME", (dir.Path() / "home").c_str());
        fs::create_directories(dir.Path() / "home");
        EXPECT_EQ(ChooseWritableDirectory(unwritable),
                  (dir.Path() / "home").string() + "/.cache/radiofleet/");
        CSqlManagement store(ChooseWritableDirectory(unwritable));
        EXPECT_TRUE(store.IsOpen()) << store.OpenError();
    }
}

} // namespace
} // namespace rf::test
