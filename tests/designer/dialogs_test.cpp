// The item property dialogs, driven through their controls on the offscreen platform.
#include "designer/FontColorDialog.h"
#include "designer/GetCounter.h"
#include "designer/GetSymbol.h"
#include "designer/ImageBrowse.h"
#include "designer/ItemDialogs.h"
#include "designer/InputQueryForm.h"
#include "designer/SetRotate.h"
#include "designer/SpinEdit.h"

#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Runs fn on the modal dialog as soon as it is shown.
template <typename Fn>
void OnModal(Fn fn)
{
    QTimer::singleShot(0, [fn] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        fn(d);
    });
}

} // namespace

TEST(SpinEdit, TextThatIsNotANumberReadsAsTheMinimumAndRangesClampOnLeaving)
{
    TSpinEdit open;
    open.SetText(QStringLiteral("abc"));
    EXPECT_EQ(open.Value(), 0);
    open.SetText(QStringLiteral("-42"));
    EXPECT_EQ(open.Value(), -42); // no range: negative numbers stand

    TSpinEdit ranged;
    ranged.SetRange(1, 999);
    ranged.SetText(QStringLiteral("x"));
    EXPECT_EQ(ranged.Value(), 1);
    ranged.SetValue(0);
    EXPECT_EQ(ranged.Text(), QStringLiteral("1"));
    ranged.SetText(QStringLiteral("5000"));
    EXPECT_EQ(ranged.Value(), 5000); // typed text stays until the user leaves the field
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&ranged, &out);
    EXPECT_EQ(ranged.Value(), 999);
}

TEST(SetRotate, SpinWrapsAtTheTopAndStopsAtZero)
{
    TSetRotate dlg;
    std::vector<int> seen;
    dlg.SetTargetLabel([&seen](int a) { seen.push_back(a); });
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Set Rotation"));
    EXPECT_EQ(dlg.AngleSpinLabel->text(), QStringLiteral("Set Degree of Rotation (0-359)"));

    dlg.AngleSpin->SetValue(315);
    EXPECT_EQ(dlg.DialAngle(), 315);
    dlg.AngleSpin->stepBy(1); // 360 clamps to 359, which wraps to 0
    EXPECT_EQ(dlg.AngleSpin->Value(), 0);
    EXPECT_EQ(dlg.DialAngle(), 0);
    EXPECT_EQ(seen.back(), 0);

    dlg.AngleSpin->stepBy(-1);
    EXPECT_EQ(dlg.AngleSpin->Value(), 0);

    dlg.AngleSpin->SetText(QStringLiteral("359"));
    EXPECT_EQ(dlg.AngleSpin->Value(), 0);
    dlg.AngleSpin->stepBy(2);
    EXPECT_EQ(dlg.AngleSpin->Value(), 90);
    EXPECT_EQ(seen.back(), 90);
    // 359 never reached the item.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 359), 0);
}

TEST(SetRotate, DialAnglesAroundTheCentre)
{
    // 113 x 113 dial: centre (56, 56).
    EXPECT_EQ(sw::DialAngleAt(113, 113, 56, 10), 90);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 56, 100), 270);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 56, 56), 90);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 10, 56), 180);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 100, 56), 0);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 86, 26), 45);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 26, 26), 135);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 26, 86), 225);
    EXPECT_EQ(sw::DialAngleAt(113, 113, 86, 86), 315);

    // Halves round to even: 56.5 -> 56.
    EXPECT_EQ(sw::DialPointerEnd(113, 113, 0), QPoint(112, 56));
    EXPECT_EQ(sw::DialPointerEnd(113, 113, 90), QPoint(56, 0));
    EXPECT_EQ(sw::DialPointerEnd(113, 113, 180), QPoint(0, 56));
    EXPECT_EQ(sw::DialPointerEnd(113, 113, 270), QPoint(56, 112));
}

TEST(SetRotate, DraggingOnTheDialSetsTheSpinAndTurnsTheTarget)
{
    TSetRotate dlg;
    int target = -1;
    dlg.SetTargetLabel([&target](int a) { target = a; });
    dlg.show();
    QTest::mousePress(dlg.PaintBox1, Qt::LeftButton, {}, QPoint(56, 10));
    QTest::mouseMove(dlg.PaintBox1, QPoint(56, 12));
    EXPECT_EQ(dlg.AngleSpin->Value(), 90);
    EXPECT_EQ(target, 90);
    QTest::mouseMove(dlg.PaintBox1, QPoint(10, 56));
    EXPECT_EQ(dlg.AngleSpin->Value(), 180);
    QTest::mouseRelease(dlg.PaintBox1, Qt::LeftButton, {}, QPoint(10, 56));
    // Moving without the button held does not drag.
    QTest::mouseMove(dlg.PaintBox1, QPoint(56, 100));
    EXPECT_EQ(dlg.AngleSpin->Value(), 180);
    EXPECT_EQ(dlg.DialAngle(), 180);
}

TEST(InputQuery, OkCopiesTheTextCancelLeavesTheValue)
{
    QString value = QStringLiteral("Text");
    OnModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Text"));
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("MessageLabel"))->text(), QStringLiteral("Enter text"));
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("InputText"));
        EXPECT_EQ(edit->text(), QStringLiteral("Text"));
        edit->setText(QStringLiteral("Hello"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_TRUE(QueryText(QStringLiteral("Text"), QStringLiteral("Enter text"), value));
    EXPECT_EQ(value, QStringLiteral("Hello"));

    OnModal([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("InputText"))->setText(QStringLiteral("lost"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(QueryText(QStringLiteral("Text"), QStringLiteral("Enter text"), value));
    EXPECT_EQ(value, QStringLiteral("Hello"));

    OnModal([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("InputText"))->clear();
        d->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    EXPECT_TRUE(QueryText(QStringLiteral("Text"), QStringLiteral("Enter text"), value));
    EXPECT_TRUE(value.isEmpty());
}

TEST(GetSymbol, ListHoldsCodes33To255AndWhiteInkGetsABlackBackground)
{
    TGetSymbol dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Select Symbol"));
    ASSERT_EQ(dlg.SymbolList->count(), 223);
    EXPECT_EQ(dlg.SymbolList->SelectedIndex(), 0);
    EXPECT_EQ(dlg.SymbolList->item(0)->data(Qt::UserRole).toInt(), 33);
    EXPECT_EQ(dlg.SymbolList->item(222)->data(Qt::UserRole).toInt(), 255);
    dlg.SymbolList->SetSelectedIndex(222);
    EXPECT_EQ(dlg.SymbolList->SelectedIndex() + 33, 255);
    dlg.SymbolList->SetSelectedIndex(-1);
    EXPECT_EQ(dlg.SymbolList->SelectedIndex(), 0);

    std::optional<QColor> answer = QColor(Qt::white);
    dlg.SetColorChooser([&answer](QWidget*, const QColor&) { return answer; });
    dlg.ColorButtonClick();
    EXPECT_EQ(dlg.SymbolList->TextColor(), QColor(Qt::white));
    EXPECT_EQ(dlg.SymbolList->BackgroundColor(), QColor(Qt::black));

    answer = QColor(255, 0, 0);
    dlg.ColorButtonClick();
    EXPECT_EQ(dlg.SymbolList->TextColor(), QColor(255, 0, 0));
    EXPECT_EQ(dlg.SymbolList->BackgroundColor(), QColor(Qt::white));

    // Cancelling keeps the colour.
    answer = std::nullopt;
    dlg.ColorButtonClick();
    EXPECT_EQ(dlg.SymbolList->TextColor(), QColor(255, 0, 0));
}

TEST(ImageBrowse, ListsPicturesOfAnyCaseAndRemembersTheDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = QStringLiteral(STICKWELL_TEST_DATA "/designer/");
    ASSERT_TRUE(QFile::copy(data + "logo1.bmp", dir.filePath("lower.bmp")));
    ASSERT_TRUE(QFile::copy(data + "logo.wmf", dir.filePath("UPPER.WMF")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(STICKWELL_TEST_DATA "/model/logo.png"), dir.filePath("photo.PNG")));
    QFile junk(dir.filePath("notes.txt"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();
    QFile broken(dir.filePath("broken.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BMnot really");
    broken.close();
    QDir(dir.path()).mkdir(QStringLiteral("sub"));

    {
        TImageBrowse dlg;
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Image Browse"));
        dlg.SetDirectory(dir.path());
        QStringList names;
        for (int i = 0; i < dlg.FileListBox->count(); ++i)
            names << dlg.FileListBox->item(i)->text();
        EXPECT_EQ(names, (QStringList{"broken.bmp", "lower.bmp", "photo.PNG", "UPPER.WMF"}));
        EXPECT_TRUE(dlg.FileName().isEmpty());

        dlg.SelectFile(QStringLiteral("lower.bmp"));
        EXPECT_EQ(dlg.FileName(), QDir(dir.path()).filePath("lower.bmp"));
        EXPECT_FALSE(dlg.Image1->pixmap().isNull());
        EXPECT_GT(dlg.Image1->width(), 0);

        dlg.SelectFile(QStringLiteral("photo.PNG"));
        EXPECT_FALSE(dlg.Image1->pixmap().isNull());

        // A damaged picture previews as nothing.
        dlg.SelectFile(QStringLiteral("broken.bmp"));
        EXPECT_TRUE(dlg.Image1->pixmap().isNull());

        bool hasSub = false;
        for (int i = 0; i < dlg.DirectoryListBox->count(); ++i)
            hasSub |= dlg.DirectoryListBox->item(i)->text().trimmed() == QLatin1String("sub");
        EXPECT_TRUE(hasSub);
    }
    TImageBrowse next;
    EXPECT_EQ(next.Directory(), QDir::cleanPath(dir.path()));
    EXPECT_TRUE(sw::IsPictureFileName(QStringLiteral("a.Bmp")));
    for (const char* name : {"a.png", "b.JPG", "c.jpeg", "d.Svg"})
        EXPECT_TRUE(sw::IsPictureFileName(QLatin1String(name))) << name;
    EXPECT_FALSE(sw::IsPictureFileName(QStringLiteral("a.gif")));
    EXPECT_FALSE(sw::IsPictureFileName(QStringLiteral("svg")));
}

// Escape in the font list (the embedded chooser has the focus) cancels the whole dialog.
TEST(FontColorDialog, EscapeInTheChooserCancelsTheDialog)
{
    TFontColorDialog dlg;
    OnModal([](QDialog* d) {
        auto* chooser = d->findChild<QFontDialog*>();
        ASSERT_NE(chooser, nullptr);
        QTest::keyClick(chooser, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(99); }); // a dialog left open fails
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(GetCounter, DefaultsRangesAndFallbacks)
{
    TGetCounter dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Counter"));
    EXPECT_EQ(dlg.StartingNumber->Value(), 1);
    EXPECT_EQ(dlg.RepeatFor->Value(), 1);
    dlg.show();
    dlg.RepeatFor->setFocus();
    dlg.RepeatFor->SetText(QStringLiteral("5000"));
    dlg.StartingNumber->setFocus();
    QApplication::processEvents();
    if (dlg.RepeatFor->Value() != 999) { // offscreen focus may not move; leave explicitly
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(dlg.RepeatFor, &out);
    }
    EXPECT_EQ(dlg.RepeatFor->Value(), 999);
    dlg.StartingNumber->SetText(QStringLiteral("abc"));
    EXPECT_EQ(dlg.StartingNumber->Value(), 0);
    dlg.StartingNumber->SetValue(-7);
    EXPECT_EQ(dlg.StartingNumber->Value(), -7);
}

TEST(ItemDialogs, TheRealDialogsArePresetAndReadBack)
{
    TItemDialogs dialogs;
    std::vector<int> preview;
    OnModal([](QDialog* d) {
        auto* rotate = qobject_cast<TSetRotate*>(d);
        ASSERT_NE(rotate, nullptr);
        EXPECT_EQ(rotate->AngleSpin->Value(), 270);
        EXPECT_EQ(rotate->DialAngle(), 270);
        rotate->AngleSpin->SetValue(45);
        d->accept();
    });
    int angle = 270;
    EXPECT_TRUE(dialogs.GetAngle(angle, [&preview](int a) { preview.push_back(a); }));
    EXPECT_EQ(angle, 45);
    EXPECT_EQ(preview, (std::vector<int>{270, 45}));

    OnModal([](QDialog* d) {
        auto* symbol = qobject_cast<TGetSymbol*>(d);
        ASSERT_NE(symbol, nullptr);
        EXPECT_EQ(symbol->SymbolList->SelectedIndex(), 74 - 33);
        EXPECT_EQ(symbol->SymbolList->TextColor(), QColor(0, 0, 255));
        symbol->SymbolList->SetSelectedIndex(0);
        d->accept();
    });
    int code = 74;
    TColor color = 0xFF0000; // blue as files store it
    EXPECT_TRUE(dialogs.GetSymbol(code, color));
    EXPECT_EQ(code, 33);
    EXPECT_EQ(color, 0xFF0000u);

    // A repeat count confirmed with Enter while still in its field is held to 1..999.
    OnModal([](QDialog* d) {
        auto* counter = qobject_cast<TGetCounter*>(d);
        ASSERT_NE(counter, nullptr);
        EXPECT_EQ(counter->StartingNumber->Value(), 5);
        counter->RepeatFor->SetText(QStringLiteral("5000"));
        QTest::keyClick(counter->RepeatFor, Qt::Key_Return);
    });
    int start = 5, repeat = 3;
    EXPECT_TRUE(dialogs.GetCounter(start, repeat, false));
    EXPECT_EQ(start, 5);
    EXPECT_EQ(repeat, 999);

    OnModal([](QDialog* d) { d->reject(); });
    EXPECT_TRUE(dialogs.BrowseImage().isEmpty());
}
