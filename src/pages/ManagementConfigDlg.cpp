#include "pages/ManagementConfigDlg.h"

#include "operations/DeviceOperations.h"
#include "operations/OperationChecks.h"
#include "pages/IPSetDlg.h"
#include "pages/TimeRebootDlg.h"
#include "pages/VlanDlg.h"
#include "pages/WirelessSetDlg.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"
#include "ui/WindowTranslation.h"

#include <algorithm>

namespace rf {
namespace {

constexpr int kWidth = 620;
constexpr int kHeight = 560;
constexpr int kPanelTop = 96;
constexpr int kTabWidth = 120; // the size of the tab pictures
constexpr int kTabHeight = 32;
constexpr int kSchedulePanelDrop = 85;
constexpr std::array<const char*, CManagementConfigDlg::kTabCount> kTabKeys{"WirelessSet", "IPSET", "VLAN",
                                                                            "TimeReboot"};
constexpr std::array<const char*, CManagementConfigDlg::kTabCount> kTabNames{"tabWireless", "tabIp",
                                                                             "tabVlan", "tabSchedule"};

template <size_t N> std::array<uint8_t, N> Block(std::span<const uint8_t> bytes) {
    std::array<uint8_t, N> block{};
    std::copy_n(bytes.begin(), N, block.begin());
    return block;
}

} // namespace

CManagementConfigDlg::CManagementConfigDlg(const Settings& settings, const SkinPaths& skin,
                                           CSqlManagement& store, const ap_info_stu& record, QWidget* parent)
    : CTDialog(parent), store_(store), record_(record) {
    setObjectName(QStringLiteral("ManagementConfigDlg"));
    MakeFramelessModal(QSize(kWidth, kHeight), ToQColor(settings.childBkColor));
    AddLine(QPoint(0, 44), QPoint(kWidth, 44));
    setWindowTitle(QStringLiteral("Device management"));
    auto* title = new CTStatic(this);
    title->setObjectName(QStringLiteral("configTitle"));
    title->SetStaticLook(settings);
    title->setText(QStringLiteral("Device management"));
    title->setGeometry(16, 10, 300, 26);
    BuildTabs(settings, skin);
    BuildButtons(settings, skin);
    TranslateWindow(this);
    opening_ = Forms(); // what the untouched tabs build is the reference of "changed"
    ShowTab(kWirelessTab);
}

void CManagementConfigDlg::BuildTabs(const Settings& settings, const SkinPaths& skin) {
    const DeviceInfo info = record_.device_info();
    for (int tab = 0; tab < kTabCount; ++tab) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QString::fromLatin1(kTabNames[static_cast<size_t>(tab)]));
        // The chosen tab shows the open tab's picture (ShowTab selects it, which draws it pressed).
        const QString closed = ToQString(skin.wirelessBasic);
        button->SetImages(closed, closed, ToQString(skin.wirelessConfig), closed);
        button->SetPageButtonLook(settings);
        button->SetText(QString::fromUtf8(kTabKeys[static_cast<size_t>(tab)]));
        button->setGeometry(20 + (kTabWidth + 6) * tab, 54, kTabWidth, kTabHeight);
        connect(button, &CTButtonPicture::clicked, this, [this, tab] { ShowTab(tab); });
        tabButtons_[static_cast<size_t>(tab)] = button;
    }
    wireless_ = new CWirelessSetDlg(settings, info, this);
    ip_ = new CIPSetDlg(settings, store_, record_.mac(),
                        Block<DeviceInfo::kIpSettingsSize>(info.ip_settings_block()), this);
    vlan_ = new CVlanDlg(settings, info, this);
    schedule_ = new CTimeRebootDlg(
        settings, Block<DeviceInfo::kRebootScheduleSize>(info.reboot_schedule_block()), this);
    for (int tab = 0; tab < kTabCount; ++tab) {
        const int top = kPanelTop + (tab == kScheduleTab ? kSchedulePanelDrop : 0);
        Panel(tab)->setGeometry(10, top, kWidth - 20, kHeight - top - 60);
    }
}

void CManagementConfigDlg::BuildButtons(const Settings& settings, const SkinPaths& skin) {
    save_ = new CTButtonPicture(this);
    save_->setObjectName(QStringLiteral("configSave"));
    cancel_ = new CTButtonPicture(this);
    cancel_->setObjectName(QStringLiteral("configCancel"));
    int x = kWidth / 2 - 110;
    for (auto [button, caption] : {std::pair{save_, "Save"}, std::pair{cancel_, "Cancel"}}) {
        button->SetImage(ToQString(skin.btnConfig));
        button->SetPageButtonLook(settings);
        button->SetText(QString::fromUtf8(caption));
        button->setGeometry(x, kHeight - 48, 90, 30);
        x += 130;
    }
    auto* close = new CTButtonPicture(this);
    close->setObjectName(QStringLiteral("configClose"));
    close->SetImage(ToQString(skin.closeConfig));
    close->setGeometry(kWidth - 34, 12, 24, 20);
    connect(save_, &CTButtonPicture::clicked, this, &CManagementConfigDlg::OnSave);
    connect(cancel_, &CTButtonPicture::clicked, this, &QDialog::reject);
    connect(close, &CTButtonPicture::clicked, this, &QDialog::reject);
    SetDefaultButton(save_);
    SetEscapeButton(cancel_);
}

QWidget* CManagementConfigDlg::Panel(int tab) const {
    switch (tab) {
    case kWirelessTab:
        return wireless_;
    case kIpTab:
        return ip_;
    case kVlanTab:
        return vlan_;
    default:
        return schedule_;
    }
}

void CManagementConfigDlg::ShowTab(int tab) {
    visibleTab_ = tab;
    for (int other = 0; other < kTabCount; ++other) {
        Panel(other)->setVisible(other == tab);
        tabButtons_[static_cast<size_t>(other)]->SetSelected(other == tab);
    }
}

ConfigForms CManagementConfigDlg::Forms() const {
    return {wireless_->Form(), ip_->Texts(), vlan_->Form(), schedule_->Form()};
}

void CManagementConfigDlg::OnSave() {
    changes_ = {};
    const ConfigCollect collected =
        CollectConfigChanges(record_, opening_, Forms(), AddressUsedByOthers(store_, {record_.mac()}));
    if (!collected.Accepted()) {
        ShowTab(static_cast<int>(collected.refusedBy) - 1);
        MessageBox::warning(this, ToQString(collected.message));
        return;
    }
    changes_ = collected.changes;
    accept();
}

} // namespace rf
