#include "core/Language.h"
#include "support/TempDir.h"
#include "ui/TEdit.h"
#include "ui/WindowTranslation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace rf {
namespace {

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("Languages/Language.ini", "[LCID]\n1033=Test\n");
        dir_.Write("Languages/Test.lng", "[ProgramOutStr]\n"
                                         "Settings=Einstellungen\nName=Nom\nApply=Apply it\nNom=Twice\n"
                                         "On=An\nOff=Aus\nGone=[~NullInfoChrys~]\n...=dots\n"
                                         "Basic=Grundlagen\nEnable=Einschalten\nGroup=Gruppe\n"
                                         "Product=Produkt\nHelp=Hilfe\nShow Utility=Anzeigen\n");
        SetLanguageIdOverride(1033);
        LoadLanguage(dir_.Dir());
    }
    void TearDown() override { SetLanguageIdOverride(0); }

    template <typename T> T* Add(const char* name) {
        auto* w = new T(&window_);
        w->setObjectName(QString::fromUtf8(name));
        return w;
    }
    template <typename T> T* Find(const char* name) { return window_.findChild<T*>(QString::fromUtf8(name)); }

    test::TempDir dir_;
    QDialog window_;
};

TEST_F(TranslationTest, CaptionAndControlsAreTranslatedOnce) {
    window_.setWindowTitle(QStringLiteral("Settings"));
    Add<QLabel>("label")->setText(QStringLiteral("Name"));
    Add<QPushButton>("button")->setText(QStringLiteral("Apply"));
    Add<QCheckBox>("check")->setText(QStringLiteral("Enable"));
    Add<QGroupBox>("group")->setTitle(QStringLiteral("Group"));
    Add<QLabel>("dots")->setText(QStringLiteral("..."));
    Add<QLabel>("gone")->setText(QStringLiteral("Gone"));
    Add<QLabel>("unknown")->setText(QStringLiteral("Not in the file"));

    TranslateWindow(&window_);
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(Find<QLabel>("label")->text(), QStringLiteral("Nom"));
    EXPECT_EQ(Find<QPushButton>("button")->text(), QStringLiteral("Apply it"));
    EXPECT_EQ(Find<QCheckBox>("check")->text(), QStringLiteral("Einschalten"));
    EXPECT_EQ(Find<QGroupBox>("group")->title(), QStringLiteral("Gruppe"));
    EXPECT_EQ(Find<QLabel>("dots")->text(), QStringLiteral("...")) << "\"...\" is kept";
    EXPECT_EQ(Find<QLabel>("gone")->text(), QStringLiteral("Gone")) << "empty translations are not applied";
    EXPECT_EQ(Find<QLabel>("unknown")->text(), QStringLiteral("Not in the file"));
    EXPECT_TRUE(IsTranslated(&window_));

    Add<QLabel>("late")->setText(QStringLiteral("Name"));
    TranslateWindow(&window_);
    EXPECT_EQ(Find<QLabel>("label")->text(), QStringLiteral("Nom")) << "not translated a second time";
    EXPECT_EQ(Find<QLabel>("late")->text(), QStringLiteral("Name")) << "the window was already translated";
}

TEST_F(TranslationTest, ControlsWithUserDataKeepTheirContent) {
    auto* edit = Add<CTEdit>("ctedit");
    edit->setText(QStringLiteral("Name"));
    Add<QLineEdit>("lineedit")->setText(QStringLiteral("Apply"));
    auto* list = Add<QListWidget>("list");
    list->addItem(QStringLiteral("Apply"));
    auto* progress = Add<QProgressBar>("progress");
    progress->setFormat(QStringLiteral("Name"));
    auto* spin = Add<QSpinBox>("spin");
    spin->setSuffix(QStringLiteral("Name"));
    auto* marked = Add<QLabel>("marked");
    marked->setText(QStringLiteral("Name"));
    marked->setProperty("rfNoTranslate", true);

    TranslateWindow(&window_);
    EXPECT_EQ(edit->text(), QStringLiteral("Name"));
    EXPECT_EQ(Find<QLineEdit>("lineedit")->text(), QStringLiteral("Apply"));
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Apply"));
    EXPECT_EQ(progress->format(), QStringLiteral("Name"));
    EXPECT_EQ(spin->suffix(), QStringLiteral("Name"));
    EXPECT_EQ(marked->text(), QStringLiteral("Name"));
}

TEST_F(TranslationTest, ComboBoxKeepsSelectionAndItemData) {
    auto* combo = Add<QComboBox>("combo");
    combo->addItem(QStringLiteral("On"), 10);
    combo->addItem(QStringLiteral("Off"), 20);
    combo->addItem(QStringLiteral("..."), 30);
    combo->setCurrentIndex(1);

    TranslateWindow(&window_);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("An"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Aus"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("..."));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->itemData(0).toInt(), 10);
    EXPECT_EQ(combo->itemData(1).toInt(), 20);
    EXPECT_EQ(combo->currentData().toInt(), 20);
}

TEST_F(TranslationTest, TabTitlesAreTranslated) {
    auto* tabs = Add<QTabWidget>("tabs");
    tabs->addTab(new QWidget, QStringLiteral("Basic"));
    tabs->addTab(new QWidget, QStringLiteral("Settings"));
    TranslateWindow(&window_);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Grundlagen"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Einstellungen"));
}

TEST_F(TranslationTest, MenusAndSubmenusKeepTheirCommands) {
    QMenu tray;
    QAction* show = tray.addAction(QStringLiteral("Show Utility"));
    show->setData(32781);
    tray.addSeparator();
    QMenu* help = tray.addMenu(QStringLiteral("Help"));
    QAction* product = help->addAction(QStringLiteral("Product"));
    product->setData(32774);
    help->addAction(QStringLiteral("Unknown entry"));

    TranslateMenu(&tray);
    ASSERT_EQ(tray.actions().size(), 3);
    EXPECT_EQ(show->text(), QStringLiteral("Anzeigen"));
    EXPECT_EQ(show->data().toInt(), 32781);
    EXPECT_TRUE(tray.actions().at(1)->isSeparator());
    QAction* sub = tray.actions().at(2);
    EXPECT_EQ(sub->text(), QStringLiteral("Hilfe"));
    ASSERT_EQ(sub->menu(), help) << "the submenu still opens";
    EXPECT_EQ(product->text(), QStringLiteral("Produkt"));
    EXPECT_EQ(product->data().toInt(), 32774);
    EXPECT_EQ(help->actions().at(1)->text(), QStringLiteral("Unknown entry"));
}

} // namespace
} // namespace rf
