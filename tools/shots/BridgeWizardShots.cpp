// Saves a picture of each step of the bridge wizard, opened on a sample station whose scan heard three
// access points:
//   bridge_wizard_shots BUNDLE_DIR OUT_DIR
// It opens no socket (its engine has no adapter and sends nothing); scripts/screenshot runs it under Xvfb.
#include "core/Language.h"
#include "core/Settings.h"
#include "pages/BridgeConfigDlg.h"
#include "pages/BridgeSearchApDlg.h"
#include "pages/BridgeSecureDlg.h"
#include "protocol/AdapterSource.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "protocol/PacketSender.h"
#include "store/SqlManagement.h"
#include "support/ScanSamples.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TEdit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace rf;

class NoAdapters : public IAdapterSource {
public:
    std::vector<AdapterRecord> Enumerate() override { return {}; }
};

class NoSender : public IPacketSender {
public:
    bool SendSearch(in_addr_t, std::span<const std::uint8_t>) override { return false; }
    bool SendToDevice(const LocalAddress&, std::span<const std::uint8_t>) override { return false; }
};

ap_info_stu SampleStation() {
    DeviceInfo info;
    info.set_work_mode(2);
    info.set_ip_mode(1);
    info.set_ip(IpTextToBytes("10.99.1.7"));
    info.set_ip_mask(IpTextToBytes("255.255.0.0"));
    info.set_ip_gateway(IpTextToBytes("10.99.0.1"));
    info.set_ip_dns1(IpTextToBytes("10.99.0.2"));
    info.set_ap_name("Farm-7");
    info.set_rf_type(1);
    return ap_info_stu::Make("02:52:01:00:00:07", 257, DeviceStatus::Online, info);
}

std::vector<uint8_t> SampleScan() {
    return rf::test::ScanAnswerOf({{{0x02, 0x53, 0x01, 0x00, 0x00, 3}, -52, 4, 149, "rflab-3"},
                                   {{0x02, 0x53, 0x01, 0x00, 0x00, 5}, -68, 6, 157, "rflab-5"},
                                   {{0x02, 0x53, 0x01, 0x00, 0x00, 9}, -81, 0, 36, "Neighbour-Net"}});
}

bool Save(CBridgeConfigDlg& wizard, const std::string& path) {
    QApplication::processEvents();
    const bool saved = wizard.grab().save(ToQString(path));
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save", path.c_str());
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bridge_wizard_shots BUNDLE_DIR OUT_DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    const std::string bundle = std::string(argv[1]) + "/";
    const std::string out = std::string(argv[2]) + "/";
    SetLanguageIdOverride(1033);
    LoadLanguage(bundle);
    SetGlobalSettings(LoadSettings(bundle));
    const SkinPaths skin = BuildSkinPaths(bundle, 1033);
    QTemporaryDir storeDir;
    CSqlManagement store(ToStdString(storeDir.path()) + "/");
    CNetManagement engine(store, std::make_unique<NoAdapters>(), std::make_unique<NoSender>());
    const ap_info_stu station = SampleStation();
    store.SaveDeviceInfo(station);
    CBridgeConfigDlg wizard(GlobalSettings(), skin, engine, store, station);
    wizard.show();
    // The scan's answer, as reply processing would store it.
    store.SaveScanResults(SampleScan());
    engine.scanComplete = true;
    wizard.ScanStep()->OnScanTick();
    wizard.ScanStep()->Grid()->SetChecked(1, 0, true);
    wizard.ScanStep()->OnRowTicked(1);
    bool allSaved = Save(wizard, out + "bridge-scan.png");
    wizard.OnNext();
    wizard.SecurityStep()->KeyEdit()->setText(QStringLiteral("roof-link-key"));
    allSaved = Save(wizard, out + "bridge-security.png") && allSaved;
    wizard.OnNext();
    allSaved = Save(wizard, out + "bridge-ip.png") && allSaved;
    wizard.OnNext();
    allSaved = Save(wizard, out + "bridge-finish.png") && allSaved;
    return allSaved ? 0 : 1;
}
