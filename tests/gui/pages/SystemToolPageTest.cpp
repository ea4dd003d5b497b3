// The system tool page over an engine that sends into a recorder, with adapters chosen by each test.
#include "app/ProgramPages.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "pages/SystemToolDlg.h"
#include "shell/PageIds.h"
#include "support/AnnouncedDevice.h"
#include "support/RecordingNavigation.h"
#include "ui/GridCtrl.h"
#include "ui/GridHeader.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TStatic.h"

#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace rf {
namespace {

AdapterRecord Adapter(const char* description, std::uint8_t lastMacByte,
                      const std::vector<std::pair<std::string, std::string>>& addresses) {
    AdapterRecord node = test::MakeAdapter(addresses);
    std::strcpy(node.description, description);
    const std::uint8_t mac[6] = {0x02, 0xaa, 0xbb, 0xcc, 0xdd, lastMacByte};
    std::memcpy(node.hardwareAddress, mac, sizeof mac);
    return node;
}

class SystemToolPageTest : public ::testing::Test {
protected:
    explicit SystemToolPageTest(
        std::vector<AdapterRecord> adapters =
            {
                Adapter("lan0 (veth)", 0x01, {{"192.168.1.10", "255.255.255.0"}}),
                Adapter("lan1 (veth)", 0x02, {{"10.0.0.5", "255.255.255.0"}, {"172.16.0.5", "255.255.0.0"}}),
            })
        : settingsLoaded(LoadBundle()),
          engine(std::move(adapters)), context{engine.engine, engine.store, GlobalSettings(), skin,
                                               navigation} {}

    static bool LoadBundle() {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
        return true;
    }
    CSystemToolDlg& Page() {
        if (!page) {
            page = std::make_unique<CSystemToolDlg>(context, nullptr);
            page->resize(1100, 600);
            page->show();
        }
        return *page;
    }
    CGridCtrl& Grid() { return *Page().Grid(); }
    int Rows() { return Grid().GetRowCount() - 1; }
    std::vector<QString> Row(int row) {
        std::vector<QString> texts;
        for (int column = 0; column < CSystemToolDlg::kColumnCount; ++column) {
            texts.push_back(Grid().GetCellText(row, column));
        }
        return texts;
    }
    QString Devices(int row) { return Grid().GetCellText(row, CSystemToolDlg::kColumnDevices); }
    QString CountText() { return Page().CountLabel()->text(); }
    void Announce(const std::string& ip, int index) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:00:00:00:00:%02x", index);
        engine.engine.OnAnnounce(test::AnnounceFrom(ip, mac));
    }

    bool settingsLoaded;
    test::EngineHarness engine;
    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    test::RecordingNavigation navigation;
    PageContext context;
    std::unique_ptr<CSystemToolDlg> page;
};

TEST_F(SystemToolPageTest, ListsEveryUsableAdapterWithItsMacAddressesAndDevices) {
    Announce("192.168.1.20", 1);
    Announce("10.0.0.20", 2);
    Announce("10.0.0.21", 3);
    Announce("172.16.9.9", 4);
    Announce("192.168.7.7", 5); // in no subnet of the PC

    EXPECT_EQ(Page().PageId(), kPageSystemTool);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(1), (std::vector<QString>{QStringLiteral("1"), QStringLiteral("lan0 (veth)"),
                                            QStringLiteral("02:aa:bb:cc:dd:01"),
                                            QStringLiteral("192.168.1.10"), QStringLiteral("1")}));
    EXPECT_EQ(Row(2), (std::vector<QString>{QStringLiteral("2"), QStringLiteral("lan1 (veth)"),
                                            QStringLiteral("02:aa:bb:cc:dd:02"),
                                            QStringLiteral("10.0.0.5--172.16.0.5"), QStringLiteral("3")}));
    EXPECT_EQ(CountText(), QStringLiteral("Adapter count: 2"));
}

TEST_F(SystemToolPageTest, HeadersAndCellsFollowTheLanguageAndTheGridColours) {
    const std::vector<QString> headers{QStringLiteral("ID"), QStringLiteral("Description"),
                                       QStringLiteral("MAC"), QStringLiteral("IP"),
                                       QStringLiteral("Devices")};
    EXPECT_EQ(Row(0), headers);
    for (int column = 0; column < CSystemToolDlg::kColumnCount; ++column) {
        EXPECT_EQ(Grid().GetCellTextColour(1, column), ToQColor(GlobalSettings().gridTextColor)) << column;
    }
}

TEST_F(SystemToolPageTest, AddressesAndCountsAreNeverCutTheDescriptionGivesWayInANarrowPage) {
    for (const int width : {1300, 760}) {
        Page().resize(width, 600);
        QCoreApplication::processEvents();
        for (int row = 0; row < Grid().GetRowCount(); ++row) {
            for (const int column : {CSystemToolDlg::kColumnId, CSystemToolDlg::kColumnMac,
                                     CSystemToolDlg::kColumnIp, CSystemToolDlg::kColumnDevices}) {
                EXPECT_EQ(Grid().ShownText(row, column), Grid().GetCellText(row, column))
                    << "width " << width << " row " << row << " column " << column;
            }
        }
        int total = 0;
        for (int column = 0; column < CSystemToolDlg::kColumnCount; ++column) {
            total += Grid().GetColumnWidth(column);
        }
        EXPECT_LE(total, Grid().viewport()->width() + 1) << "no horizontal scrolling at width " << width;
    }
    EXPECT_LT(Grid().GetColumnWidth(CSystemToolDlg::kColumnDescription), 400);
}

TEST_F(SystemToolPageTest, TheFiveSecondRefreshShowsDevicesThatCameSinceAndKeepsOneRowPerAdapter) {
    EXPECT_EQ(Devices(1), QStringLiteral("0"));
    EXPECT_TRUE(Page().RefreshTimer().isActive());
    EXPECT_EQ(Page().RefreshTimer().interval(), 5000);

    Announce("192.168.1.20", 1);
    Announce("192.168.1.21", 2);
    EXPECT_EQ(Devices(1), QStringLiteral("0")) << "nothing changes before the timer fires";
    Page().OnRefreshTimer();
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Devices(1), QStringLiteral("2"));
    EXPECT_EQ(Devices(2), QStringLiteral("0"));
    Page().OnRefreshTimer();
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(CountText(), QStringLiteral("Adapter count: 2"));
}

TEST_F(SystemToolPageTest, ClicksOnTheGridChangeNothing) {
    Announce("192.168.1.20", 1);
    Page().OnRefreshTimer();
    const auto before = Row(1);
    const size_t sentBefore = engine.sender->All().size();
    for (int column = 0; column < CSystemToolDlg::kColumnCount; ++column) {
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, Grid().CellRect(1, column).center());
        QTest::mouseClick(Grid().Header().viewport(), Qt::LeftButton, {},
                          Grid().CellRect(0, column).center());
    }
    EXPECT_EQ(Row(1), before);
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(navigation.listPages.empty());
    EXPECT_EQ(engine.sender->All().size(), sentBefore);
}

TEST_F(SystemToolPageTest, TheProgramMakesThisPageForItsId) {
    std::unique_ptr<CPage> made(MakeProgramPages(StartupOptions{})(kPageSystemTool, context, nullptr));
    auto* tool = qobject_cast<CSystemToolDlg*>(made.get());
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->Grid()->GetRowCount(), 3) << "the page lists its adapters as soon as it is made";
}

class SystemToolWithoutAdaptersTest : public SystemToolPageTest {
protected:
    SystemToolWithoutAdaptersTest()
        : SystemToolPageTest(
              {Adapter("down0", 0x03, {{"0.0.0.0", "255.255.255.0"}}), Adapter("bare0", 0x04, {})}) {}
};

TEST_F(SystemToolWithoutAdaptersTest, AdaptersWithoutAUsableAddressAreNotListed) {
    Announce("192.168.1.20", 1);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(CountText(), QStringLiteral("Adapter count: 0"));
}

} // namespace
} // namespace rf
