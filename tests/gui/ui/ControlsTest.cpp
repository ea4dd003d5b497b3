#include "WidgetEvents.h"
#include "core/Language.h"
#include "support/TempDir.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"
#include "ui/ReadingOrder.h"
#include "ui/SkinPaths.h"
#include "ui/TButtonPicture.h"
#include "ui/TDialog.h"
#include "ui/TStatic.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace rf {
namespace {

// A picture whose left half is red and right half blue.
QString TwoColourPicture(const test::TempDir& dir, const char* name, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < h; ++y) {
        for (int x = w / 2; x < w; ++x) {
            image.setPixelColor(x, y, Qt::blue);
        }
    }
    const QString path = QString::fromStdString(dir.Dir() + name);
    image.save(path);
    return path;
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.resize(200, 100);
        button_ = new CTButtonPicture(&parent_);
        button_->setObjectName(QStringLiteral("button"));
        button_->setGeometry(0, 0, 40, 20);
        parent_.show();
    }
    QColor PixelAt(int x, int y) const { return button_->grab().toImage().pixelColor(x, y); }

    test::TempDir dir_;
    QWidget parent_;
    CTButtonPicture* button_ = nullptr;
};

TEST_F(ButtonTest, PictureOfTheButtonsSizeIsDrawnAsIsALargerOneShrunk) {
    button_->SetImage(TwoColourPicture(dir_, "same.bmp", 40, 20));
    EXPECT_EQ(PixelAt(15, 10), QColor(Qt::red));
    EXPECT_EQ(PixelAt(25, 10), QColor(Qt::blue));

    button_->SetImage(TwoColourPicture(dir_, "large.bmp", 80, 20));
    EXPECT_EQ(PixelAt(15, 10), QColor(Qt::red));
    EXPECT_EQ(PixelAt(25, 10), QColor(Qt::blue)) << "shrunk to the button";

    button_->SetImage(TwoColourPicture(dir_, "small.bmp", 10, 10));
    EXPECT_EQ(PixelAt(2, 2), QColor(Qt::red));
    EXPECT_EQ(PixelAt(7, 2), QColor(Qt::blue));
    EXPECT_NE(PixelAt(25, 15), QColor(Qt::blue)) << "a smaller picture stays at the top-left corner";

    button_->SetImages(QStringLiteral("/missing.bmp"), QString(), QString(), QString());
    EXPECT_TRUE(button_->Image(CTButtonPicture::Normal).isNull());
}

TEST_F(ButtonTest, StatesChooseTheirPictureAndTextColour) {
    const QString normal = TwoColourPicture(dir_, "n.bmp", 40, 20);
    QImage green(40, 20, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString hover = QString::fromStdString(dir_.Dir() + "h.bmp");
    green.save(hover);
    button_->SetImages(normal, hover, hover, normal);
    button_->SetFont(QStringLiteral("Arial"), 12, 0, QColor(1, 2, 3), QColor(4, 5, 6));
    button_->SetText(QStringLiteral("Go"));

    EXPECT_EQ(button_->CurrentDrawState(), CTButtonPicture::Normal);
    EXPECT_EQ(button_->CurrentTextColour(), QColor(1, 2, 3));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(button_->mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(button_, &enter);
    EXPECT_EQ(button_->CurrentDrawState(), CTButtonPicture::Hover);
    EXPECT_EQ(button_->CurrentTextColour(), QColor(4, 5, 6));
    EXPECT_EQ(PixelAt(1, 1), QColor(Qt::green));
    test::LeaveWidget(button_);
    EXPECT_EQ(button_->CurrentDrawState(), CTButtonPicture::Normal);

    button_->setDown(true);
    EXPECT_EQ(button_->CurrentDrawState(), CTButtonPicture::Pressed);
    button_->setDown(false);

    button_->setEnabled(false);
    EXPECT_EQ(button_->CurrentDrawState(), CTButtonPicture::Disabled);
    EXPECT_EQ(button_->CurrentTextColour(), QColor(153, 153, 153));
    button_->setEnabled(true);

    button_->SetSelected(true);
    EXPECT_EQ(button_->TextFont().weight(), QFont::Bold);
    EXPECT_EQ(button_->CurrentTextColour(), QColor(4, 5, 6));
    EXPECT_EQ(PixelAt(1, 1), QColor(Qt::green)) << "selected looks pressed";
    EXPECT_EQ(button_->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(ButtonTest, ClickingEmitsClicked) {
    QSignalSpy clicked(button_, &QAbstractButton::clicked);
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
}

// A dialog with two buttons on one line placed against their order of making, and a field above them.
struct KeyDialog {
    KeyDialog() {
        dialog.resize(300, 120);
        save = new CTButtonPicture(&dialog);
        save->setGeometry(200, 80, 80, 24);
        cancel = new CTButtonPicture(&dialog);
        cancel->setGeometry(20, 82, 80, 24);
        field = new QLineEdit(&dialog);
        field->setGeometry(20, 20, 200, 24);
        QObject::connect(save, &QAbstractButton::clicked, &dialog, &QDialog::accept);
        QObject::connect(cancel, &QAbstractButton::clicked, &dialog, [this] { ++cancels; });
        dialog.SetDefaultButton(save);
    }
    CTDialog dialog;
    CTButtonPicture* save = nullptr;
    CTButtonPicture* cancel = nullptr;
    QLineEdit* field = nullptr;
    int cancels = 0;
};

TEST(SkinnedDialog, KeysPressItsButtonsFollowReadingOrderAndShowTheFocus) {
    KeyDialog d;
    d.dialog.setWindowModality(Qt::ApplicationModal);
    d.dialog.show();
    d.dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d.dialog));
    EXPECT_EQ(ReadingOrder(d.dialog), (QList<QWidget*>{d.field, d.cancel, d.save}));
    d.field->setFocus();
    QTest::keyClick(d.field, Qt::Key_Tab);
    EXPECT_TRUE(d.cancel->hasFocus()) << "Tab goes on in reading order, not in the order of making";
    const QColor highlight = d.cancel->palette().color(QPalette::Highlight);
    EXPECT_EQ(d.cancel->grab().toImage().pixelColor(1, 1), highlight) << "the focus frame";
    EXPECT_NE(d.save->grab().toImage().pixelColor(1, 1), highlight);

    d.dialog.SetEscapeButton(d.cancel);
    QTest::keyClick(d.field, Qt::Key_Escape);
    EXPECT_EQ(d.cancels, 1) << "Escape presses the escape button";
    EXPECT_TRUE(d.dialog.isVisible());
    d.cancel->hide();
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    EXPECT_EQ(d.cancels, 1) << "a hidden button is not pressed";
    QTest::keyClick(d.field, Qt::Key_Return);
    EXPECT_FALSE(d.dialog.isVisible()) << "Enter in the field presses the default button";
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);

    KeyDialog plain;
    plain.dialog.setWindowModality(Qt::ApplicationModal);
    plain.dialog.show();
    QTest::keyClick(&plain.dialog, Qt::Key_Escape);
    EXPECT_FALSE(plain.dialog.isVisible()) << "without an escape button Escape cancels";
    EXPECT_EQ(plain.dialog.result(), QDialog::Rejected);
}

TEST(SkinnedDialog, AWindowThatIsNoDialogAndAWaitStayOpen) {
    KeyDialog window; // not modal: a main window
    window.dialog.show();
    QTest::keyClick(&window.dialog, Qt::Key_Escape);
    EXPECT_TRUE(window.dialog.isVisible());
    KeyDialog wait;
    wait.dialog.setWindowModality(Qt::ApplicationModal);
    wait.dialog.SetEscapeCloses(false);
    wait.dialog.show();
    QTest::keyClick(&wait.dialog, Qt::Key_Escape);
    EXPECT_TRUE(wait.dialog.isVisible());
}

TEST(SkinnedDialog, PaintsColourPictureAndLines) {
    test::TempDir dir;
    CTDialog dialog;
    dialog.resize(100, 60);
    dialog.SetFillWithColour(true);
    dialog.SetBackgroundColour(QColor(10, 120, 30));
    dialog.SetLineColour(QColor(250, 0, 250));
    dialog.AddLine(QPoint(0, 30), QPoint(99, 30));
    QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(10, 120, 30));
    EXPECT_EQ(shot.pixelColor(50, 30), QColor(250, 0, 250));

    EXPECT_TRUE(dialog.SetBackgroundImage(TwoColourPicture(dir, "bk.bmp", 10, 10)));
    shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 10), QColor(Qt::red)) << "stretched over the whole dialog";
    EXPECT_EQ(shot.pixelColor(80, 10), QColor(Qt::blue));
    EXPECT_FALSE(dialog.SetBackgroundImage(QStringLiteral("/missing.jpg")));
}

TEST(SkinnedDialog, DraggableDialogMovesWithTheMouse) {
    CTDialog dialog;
    dialog.resize(200, 100);
    dialog.SetDraggable(true);
    dialog.show();
    const QPoint start = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(50, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 70), QPointF(dialog.mapToGlobal(QPoint(80, 70))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &move);
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(80, 70));
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));
}

TEST(SkinnedStatic, FontAndColours) {
    CTStatic label;
    label.SetFont(QStringLiteral("Arial"), 700, 18, QColor(142, 142, 142), QColor(1, 1, 1));
    EXPECT_EQ(label.font().pixelSize(), 18);
    EXPECT_EQ(label.font().weight(), QFont::Bold);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(142, 142, 142));
    EXPECT_FALSE(label.autoFillBackground()) << "transparent by default";
    label.SetTransparent(false);
    EXPECT_TRUE(label.autoFillBackground());
    label.resize(40, 20);
    EXPECT_EQ(label.grab().toImage().pixelColor(39, 19), QColor(1, 1, 1));
}

TEST(MessageBoxes, TestsAnswerWithoutABox) {
    MessageBox::setNextAnswer(MessageBox::Cancel);
    EXPECT_FALSE(MessageBox::confirm(nullptr, QStringLiteral("Reboot?")));
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Reboot?"));
    MessageBox::setNextAnswer(MessageBox::Ok);
    EXPECT_TRUE(MessageBox::confirm(nullptr, QStringLiteral("Reset?")));
    const int before = MessageBox::count();
    MessageBox::setNextAnswer(MessageBox::Ok);
    MessageBox::warning(nullptr, QStringLiteral("Please select the devices!"));
    EXPECT_EQ(MessageBox::count(), before + 1);
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Please select the devices!"));
}

// In Chinese: over the middle of the window its page belongs to, wide enough for its whole title. With
// RF_PICTURES_DIR set, its picture goes there (message-box-chinese.png).
TEST(MessageBoxes, ABoxSitsOverTheMiddleOfItsWindowWithItsWholeTitle) {
    SetLanguageIdOverride(kChineseLanguageId);
    ASSERT_TRUE(LoadLanguage(RF_BUNDLE_DIR));
    QWidget window;
    window.setGeometry(120, 90, 1000, 680);
    auto* page = new QWidget(&window);
    page->setGeometry(700, 500, 200, 100); // a page far from the window's middle
    window.show();
    const std::unique_ptr<QMessageBox> box =
        MessageBox::makeWarning(page, ToQString(Translate("Please select the devices!")));
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    EXPECT_EQ(box->windowTitle(), ToQString(Translate("VEZEzizozodud")));
    EXPECT_NE(box->text(), QStringLiteral("Please select the devices!")) << "the Chinese text";
    EXPECT_LE((box->geometry().center() - window.geometry().center()).manhattanLength(), 4)
        << "box at " << box->geometry().x() << "," << box->geometry().y();
    EXPECT_GE(box->width(), MessageBox::titleWidth(*box));
    if (const char* pictures = std::getenv("RF_PICTURES_DIR")) {
        EXPECT_TRUE(
            box->grab().save(QString::fromUtf8(pictures) + QStringLiteral("/message-box-chinese.png")));
    }
    box->close();
    SetLanguageIdOverride(0);
    const test::TempDir noLanguages; // the other tests see the keys, as before
    LoadLanguage(noLanguages.Dir());
}

// Answers the box once it is open, after checking how it looks.
void AnswerOpenBox(QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton press, bool* checked) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        *checked = box->icon() == icon && box->standardButtons() == buttons &&
                   box->windowTitle() == ToQString(Translate("VEZEzizozodud"));
        box->button(press)->click();
    });
}

TEST(MessageBoxes, WarningAndConfirmationLook) {
    bool checked = false;
    AnswerOpenBox(QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, &checked);
    MessageBox::warning(nullptr, QStringLiteral("Something is wrong"));
    EXPECT_TRUE(checked);

    checked = false;
    AnswerOpenBox(QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel,
                  &checked);
    EXPECT_FALSE(MessageBox::confirm(nullptr, QStringLiteral("Proceed?")));
    EXPECT_TRUE(checked);

    checked = false;
    AnswerOpenBox(QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, &checked);
    EXPECT_TRUE(MessageBox::confirm(nullptr, QStringLiteral("Proceed?")));
    EXPECT_TRUE(checked);
}

TEST(FileDialogs, TestsChooseTheFile) {
    FileDialog::setNextFileName(QStringLiteral("/tmp/firmware.bin"));
    EXPECT_EQ(
        FileDialog::getOpenFileName(nullptr, QString(), FileDialog::Kind::Other, QStringLiteral("*.bin")),
        QStringLiteral("/tmp/firmware.bin"));
    FileDialog::setNextFileName(QString());
    EXPECT_TRUE(FileDialog::getOpenFileName(nullptr, QString(), FileDialog::Kind::Other, QString()).isEmpty())
        << "cancelled";
}

} // namespace
} // namespace rf
