// The system tool page against a lab of two subnets: the page's thread enters the lab's PC namespace, so
// the adapter library sees that namespace's interfaces and the engine's sockets live there.
#include "core/Language.h"
#include "core/Settings.h"
#include "pages/SystemToolDlg.h"
#include "protocol/NetManagement.h"
#include "protocol/NicscanLibrary.h"
#include "store/SqlManagement.h"
#include "support/Lab.h"
#include "support/RecordingNavigation.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "ui/GridCtrl.h"
#include "ui/SkinPaths.h"
#include "ui/TStatic.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

// Moves the calling thread into a named network namespace and back into its own when it ends.
class ThreadInNamespace {
public:
    explicit ThreadInNamespace(const std::string& name)
        : home_(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
        const int target = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        entered_ = home_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) {
            ::close(target);
        }
    }
    ~ThreadInNamespace() {
        if (entered_) {
            ::setns(home_, CLONE_NEWNET);
        }
        if (home_ >= 0) {
            ::close(home_);
        }
    }
    ThreadInNamespace(const ThreadInNamespace&) = delete;
    ThreadInNamespace& operator=(const ThreadInNamespace&) = delete;

    bool Entered() const { return entered_; }

private:
    int home_;
    bool entered_ = false;
};

class SystemToolLab : public ::testing::Test {
protected:
    SystemToolLab() {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    }

    CGridCtrl& Grid() { return *page->Grid(); }
    // The grid row of the adapter whose description names the interface, or -1.
    int RowOf(const std::string& interface) {
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            if (Grid()
                    .GetCellText(row, CSystemToolDlg::kColumnDescription)
                    .contains(QString::fromStdString(interface))) {
                return row;
            }
        }
        return -1;
    }
    QString Cell(int row, int column) { return Grid().GetCellText(row, column); }

    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    RecordingNavigation navigation;
    std::unique_ptr<CSystemToolDlg> page;
};

int RadiosIn(const Lab& lab, const std::string& prefix) {
    int n = 0;
    for (const std::string& line : lab.Radios()) {
        n += line.find("\"ip\":\"" + prefix) != std::string::npos ? 1 : 0;
    }
    return n;
}

TEST_F(SystemToolLab, TwoSubnetsShowTwoAdaptersWithTheirRadiosAndARemovedAddressGoesAtTheNextRefresh) {
    Lab lab({.radios = 6, .subnets = 2, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    const int first = RadiosIn(lab, "10.99.");
    const int second = RadiosIn(lab, "10.98.");
    ASSERT_EQ(first + second, 6);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    const std::string p0 = lab.Name() + "-p0";
    const std::string p1 = lab.Name() + "-p1";
    const std::string mac0 = lab.RunInPc("cat /sys/class/net/" + p0 + "/address").output.substr(0, 17);
    const std::string mac1 = lab.RunInPc("cat /sys/class/net/" + p1 + "/address").output.substr(0, 17);

    ThreadInNamespace inPc(lab.PcNamespace());
    ASSERT_TRUE(inPc.Entered());
    TempDir dir;
    CSqlManagement store(dir.Dir());
    CNetManagement engine(store,
                          std::make_unique<NicscanLibrary>(std::string(RF_BUNDLE_DIR) + kNicscanLibraryName));
    ASSERT_TRUE(engine.Start(3, 2000)) << engine.StartError();
    const PageContext context{engine, store, GlobalSettings(), skin, navigation};
    page = std::make_unique<CSystemToolDlg>(context, nullptr);
    page->resize(1100, 600);
    page->show();
    ASSERT_EQ(Grid().GetRowCount(), 3) << "the PC namespace has two adapters with addresses";
    EXPECT_EQ(page->CountLabel()->text(), QStringLiteral("Adapter count: 2"));

    ASSERT_TRUE(WaitFor(
        [&] {
            engine.SearchDevices();
            return WaitFor([&] { return engine.OnlineList().size() == 6; }, 2s);
        },
        30s));
    page->OnRefreshTimer();
    const int row0 = RowOf(p0);
    const int row1 = RowOf(p1);
    ASSERT_GT(row0, 0);
    ASSERT_GT(row1, 0);
    EXPECT_EQ(Cell(row0, CSystemToolDlg::kColumnMac).toStdString(), mac0);
    EXPECT_EQ(Cell(row1, CSystemToolDlg::kColumnMac).toStdString(), mac1);
    EXPECT_EQ(Cell(row0, CSystemToolDlg::kColumnIp).toStdString(), Lab::PcAddress(0));
    EXPECT_EQ(Cell(row1, CSystemToolDlg::kColumnIp).toStdString(), Lab::PcAddress(1));
    EXPECT_EQ(Cell(row0, CSystemToolDlg::kColumnDevices), QString::number(first));
    EXPECT_EQ(Cell(row1, CSystemToolDlg::kColumnDevices), QString::number(second));

    const ShellResult removed = lab.RunInPc("ip addr del " + Lab::PcAddress(1) + "/16 dev " + p1);
    ASSERT_EQ(removed.status, 0) << removed.output;
    page->OnRefreshTimer();
    EXPECT_EQ(Grid().GetRowCount(), 2);
    EXPECT_EQ(RowOf(p1), -1);
    ASSERT_GT(RowOf(p0), 0);
    EXPECT_EQ(Cell(RowOf(p0), CSystemToolDlg::kColumnDevices), QString::number(first));
    EXPECT_EQ(page->CountLabel()->text(), QStringLiteral("Adapter count: 1"));
    // The engine no longer searches through the removed address.
    EXPECT_EQ(engine.ListSearchTargets(), std::vector<std::string>{Lab::Broadcast(0)});

    page.reset();
    engine.Stop();
}

} // namespace
} // namespace rf::test
