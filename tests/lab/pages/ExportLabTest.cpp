// A list's export against simulated radios: the file holds every row the list shows for its filter, page
// after page, in its order, with the texts the cells show.
#include "EngineInLab.h"

#include "core/Language.h"
#include "core/Settings.h"
#include "pages/DeviceList.h"
#include "pages/ManagementDlg.h"
#include "shell/AppContext.h"
#include "support/RecordingNavigation.h"
#include "support/TempDir.h"
#include "ui/FileDialog.h"
#include "ui/GridCtrl.h"
#include "ui/QtConvert.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TEdit.h"
#include "ui/TStatic.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <gtest/gtest.h>

namespace rf::test {
namespace {

constexpr int kRadios = 40;
using Table = std::vector<std::vector<std::string>>;

// RFC 4180: fields split at commas outside quotes, records at CR LF outside quotes, "" inside quotes is ".
Table ParseCsv(const std::string& text) {
    Table records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::exchange(field, {}));
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::exchange(field, {}));
            records.push_back(std::exchange(record, {}));
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

class ExportLab : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageIdOverride(1033);
        LoadLanguage(RF_BUNDLE_DIR);
        SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
        SKIP_WITHOUT_LAB(lab);
        ASSERT_TRUE(pc.Start());
        ASSERT_TRUE(pc.DiscoveryCycle(kRadios));
        app.emplace(AppContext{pc.Engine(), pc.Store(), GlobalSettings(), skin});
        page = std::make_unique<CManagementDlg>(PageContext::Of(*app, navigation), nullptr);
        page->resize(1100, 600);
        page->show();
        page->RefreshList();
    }

    // What the grid shows on every page of the list, in the exported columns, page after page.
    Table ShownRows(const std::vector<DeviceField>& fields, int& pages) {
        CDeviceList& list = page->List();
        Table rows;
        for (pages = 1;; ++pages) {
            list.Reload(pages);
            if (list.CurrentPage() != pages) {
                --pages;
                return rows;
            }
            for (int row = 1; row < list.Grid()->GetRowCount(); ++row) {
                std::vector<std::string>& shown = rows.emplace_back();
                for (const DeviceField field : fields) {
                    shown.push_back(ToStdString(list.Grid()->GetCellText(row, list.ColumnOf(field))));
                }
            }
        }
    }

    std::string Export(const std::string& name) {
        const std::string path = dir.Dir() + name;
        FileDialog::setNextFileName(ToQString(path));
        QTest::mouseClick(page->ExportButton(), Qt::LeftButton);
        return dir.Read(name);
    }

    Lab lab{{.radios = kRadios, .subnets = 1, .simArgs = {}}};
    EngineInLab pc{lab, 1};
    SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    std::optional<AppContext> app;
    RecordingNavigation navigation;
    std::unique_ptr<CManagementDlg> page;
    TempDir dir;
};

TEST_F(ExportLab, TheCsvAndJsonOfAFilteredSortedListHoldEveryPageInOrder) {
    CDeviceList& list = page->List();
    // With RF_PICTURES_DIR set (scripts/screenshot sets it), the page as it opens, every column in view.
    if (const char* pictures = std::getenv("RF_PICTURES_DIR")) {
        page->resize(1280, 560);
        QApplication::processEvents();
        EXPECT_TRUE(
            page->grab().save(QString::fromUtf8(pictures) + QStringLiteral("/management-page-buttons.png")));
    }
    list.PageSizeBox()->setCurrentIndex(0); // 15 rows a page
    QTest::keyClicks(list.Filter(), QStringLiteral("Station"));
    Q_EMIT list.Grid()->cellClicked(0, list.ColumnOf(kFieldLocation)); // by name, A to Z
    ASSERT_TRUE(list.Ascending());

    const std::vector<DeviceField> fields{kFieldSerial,     kFieldLocation, kFieldType, kFieldIp,
                                          kFieldMac,        kFieldMode,     kFieldSsid, kFieldChannel,
                                          kFieldSecureMode, kFieldPower};
    const Table csv = ParseCsv(Export("devices.csv"));
    int pages = 0;
    const Table shown = ShownRows(fields, pages);
    EXPECT_GE(pages, 2) << "the list spans several pages";
    EXPECT_LT(shown.size(), static_cast<size_t>(kRadios)) << "the filter leaves radios out";
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(csv.front(), (std::vector<std::string>{"serial", "name", "model", "ip", "mac", "work_mode",
                                                     "ssid", "channel", "secure_mode", "tx_power"}));
    EXPECT_EQ(Table(csv.begin() + 1, csv.end()), shown);
    EXPECT_NE(page->BatchSummary()->text().indexOf(QString::number(shown.size())), -1)
        << page->BatchSummary()->text().toStdString();

    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(Export("devices.json")));
    ASSERT_TRUE(json.isArray());
    Table fromJson;
    for (const QJsonValue& object : json.array()) {
        std::vector<std::string>& row = fromJson.emplace_back();
        for (const std::string& name : csv.front()) {
            row.push_back(ToStdString(object.toObject().value(ToQString(name)).toString()));
        }
    }
    EXPECT_EQ(fromJson, shown);
}

} // namespace
} // namespace rf::test
