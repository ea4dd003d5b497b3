// Saves a picture of each tab of the configuration dialog, opened on a sample access point:
//   config_dialog_shots BUNDLE_DIR OUT_DIR
// It opens no socket; scripts/screenshot runs it under Xvfb.
#include "core/Language.h"
#include "core/Settings.h"
#include "pages/ManagementConfigDlg.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"

#include <QApplication>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace rf;

ap_info_stu SampleAccessPoint() {
    DeviceInfo info;
    info.set_work_mode(1);
    info.set_ip_mode(1);
    info.set_ip(IpTextToBytes("10.99.1.3"));
    info.set_ip_mask(IpTextToBytes("255.255.0.0"));
    info.set_ip_gateway(IpTextToBytes("10.99.0.1"));
    info.set_ip_dns1(IpTextToBytes("10.99.0.2"));
    info.set_ap_name("Tower-3");
    info.set_rf_count(1);
    info.set_rf_en(1);
    info.set_rf_type(1);
    info.set_country_code(1);
    info.set_network_mode(3);
    info.set_bandwidth(1);
    info.set_channel(149);
    info.set_expand_channel(0);
    info.set_tx_power(22);
    info.set_tx_power_min(5);
    info.set_tx_power_max(27);
    info.set_ssid("rflab-3");
    info.set_ssid_count(1);
    SecurityBlock security;
    security.set_secure_mode(3);
    security.set_wpapsk_key_value("labkey-1003");
    security.set_wpapsk_key_time(3600);
    security.set_wep_key_index(1);
    info.set_security(security);
    info.set_restart_en(1);
    info.set_restart_type(2 | 32);
    info.set_restart_time(210);
    info.set_vlan_en(1);
    info.set_vlan_id(10);
    info.set_vlan_id_wlan(20);
    return ap_info_stu::Make("02:52:01:00:00:03", 257, DeviceStatus::Online, info);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: config_dialog_shots BUNDLE_DIR OUT_DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    const std::string bundle = std::string(argv[1]) + "/";
    const std::string out = argv[2];
    SetLanguageIdOverride(1033);
    LoadLanguage(bundle);
    SetGlobalSettings(LoadSettings(bundle));
    const SkinPaths skin = BuildSkinPaths(bundle, 1033);
    QTemporaryDir storeDir;
    CSqlManagement store(ToStdString(storeDir.path()) + "/");
    CManagementConfigDlg dialog(GlobalSettings(), skin, store, SampleAccessPoint());
    dialog.show();
    constexpr std::array<const char*, CManagementConfigDlg::kTabCount> kFiles{
        "config-wireless.png", "config-ip.png", "config-vlan.png", "config-schedule.png"};
    bool allSaved = true;
    for (int tab = 0; tab < CManagementConfigDlg::kTabCount; ++tab) {
        dialog.ShowTab(tab);
        QApplication::processEvents();
        const std::string path = out + "/" + kFiles[static_cast<size_t>(tab)];
        const bool saved = dialog.grab().save(ToQString(path));
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save", path.c_str());
        allSaved = allSaved && saved;
    }
    return allSaved ? 0 : 1;
}
