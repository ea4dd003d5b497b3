#pragma once

// A main window whose status page is the real one, over an engine that sends into a recorder and a store
// of its own; the other pages are blank.
#include "app/ApplicationDlg.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/StatusDlg.h"
#include "protocol/CodeTables.h"
#include "shell/DesktopLinks.h"
#include "shell/PageIds.h"
#include "support/AppHarness.h"
#include "support/WaitFor.h"
#include "ui/GridCtrl.h"
#include "ui/GridHeader.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/TButtonPicture.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace rf::test {

struct DeviceSpec {
    int index = 1;
    uint16_t model = 257;
    std::string name = "Radio";
    std::string ssid = "Field";
    uint8_t bridge = 0;
    uint8_t workMode = 1;
};

inline std::string MacOf(int index) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:00:00:00:%02x:%02x", index / 256, index % 256);
    return mac;
}

inline std::string IpOf(int index) {
    return "192.168.1." + std::to_string(100 + index);
}

inline ap_info_stu MakeDevice(const DeviceSpec& wanted) {
    DeviceInfo info;
    info.set_ip_mode(1);
    info.set_ip(IpTextToBytes(IpOf(wanted.index)));
    info.set_ip_mask(IpTextToBytes("255.255.255.0"));
    info.set_ip_gateway(IpTextToBytes("192.168.1.1"));
    info.set_ap_name(wanted.name);
    info.set_ssid(wanted.ssid);
    info.set_version("V2.3.12");
    info.set_work_mode(wanted.workMode);
    info.set_bridge_transparent(wanted.bridge);
    info.set_channel(6);
    return ApInfo::Make(MacOf(wanted.index), wanted.model, DeviceStatus::Online, info);
}

class StatusPageTest : public ::testing::Test {
protected:
    StatusPageTest()
        : window(h.context, [this](int id, const PageContext& context, QWidget* parent) -> CPage* {
              if (id == kPageStatus) {
                  return page = new CStatusDlg(context, parent);
              }
              return new CPage(id, parent);
          }) {
        window.show();
        SetBrowserOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~StatusPageTest() override {
        SetBrowserOpener([](const QUrl&) { return true; });
    }

    void Store(const DeviceSpec& wanted) { h.engine.store.SaveDeviceInfo(MakeDevice(wanted)); }
    CDeviceList& List() { return page->List(); }
    CGridCtrl& Grid() { return *List().Grid(); }
    QString Cell(int row, int column) { return Grid().GetCellText(row, column); }
    std::vector<QString> Column(int column) {
        std::vector<QString> texts;
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            texts.push_back(Cell(row, column));
        }
        return texts;
    }
    int RowOf(const std::string& mac) {
        for (int row = 1; row < Grid().GetRowCount(); ++row) {
            if (Cell(row, kFieldMac) == ToQString(mac)) {
                return row;
            }
        }
        return -1;
    }
    void ClickCell(int row, int column) {
        QWidget* target = row == 0 ? Grid().Header().viewport() : Grid().viewport();
        QTest::mouseClick(target, Qt::LeftButton, {}, Grid().CellRect(row, column).center());
    }
    // Lets the page's batch end: requests nobody answers run out of resends.
    void FinishBatch() {
        EXPECT_TRUE(WaitFor([&] {
            h.engine.DropUnanswered();
            return !page->BatchRunning();
        }));
        page->FinishWorkers();
        QCoreApplication::processEvents(); // the batch's outcome reaches the page
    }
    // Runs work once the modal dialog that opens next is up, then closes it if work left it open.
    template <typename Dialog> void WithNextDialog(std::function<void(Dialog&)> work) {
        QTimer::singleShot(0, [work] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            work(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
    }

    AppHarness h;
    CStatusDlg* page = nullptr;
    CApplicationDlg window;
    std::vector<QUrl> opened;
};

} // namespace rf::test
