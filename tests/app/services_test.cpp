// Main window services: availability table, conversions, change notification, message boxes,
// closing, and the window's layout.
#include "app/MainWindow.h"
#include "app/ScreenStatus.h"
#include "app/ToolsPanel.h"
#include "designer/CanvasPanel.h"
#include "model/PositionSelection.h"
#include "model/Units.h"
#include "model/StorableText.h"
#include "ui/MessageBoxes.h"
#include "ui/TiledScrollArea.h"

#include "TestDataDir.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QScrollBar>
#include <QWheelEvent>
#include <QToolButton>
#include <gtest/gtest.h>
#include <locale>
#include <vector>

using sw::ComputeScreenStatus;
using sw::ScreenState;
using sw::ScreenStatus;

TEST(ScreenStatusTable, EveryRow)
{
    struct Row {
        bool e, isNew, s;
        ScreenStatus want; // panels, exit, select/new, label menu, print/preview, rebuild
    };
    const std::vector<Row> rows = {
        {false, false, false, {true, true, true, true, true, true}},
        {false, false, true, {true, false, false, false, true, false}},
        {false, true, false, {true, false, false, false, true, true}},
        {false, true, true, {true, false, false, false, true, false}},
        {true, false, false, {false, true, true, true, false, true}},
        {true, false, true, {false, false, false, false, false, false}},
        {true, true, false, {true, false, false, false, false, true}},
        {true, true, true, {true, false, false, false, false, false}},
    };
    for (const Row& r : rows) {
        ScreenState st;
        st.TableEmpty = r.e;
        st.IsNewLabel = r.isNew;
        st.SaveVisible = r.s;
        EXPECT_EQ(ComputeScreenStatus(st), r.want) << "E=" << r.e << " new=" << r.isNew << " S=" << r.s;
    }
}

TEST(Conversions, InchesAndPixelsAt96And120)
{
    EXPECT_EQ(sw::InchesToPixels(2.5f, 96), 240);
    EXPECT_EQ(sw::InchesToPixels(2.5f, 120), 300);
    EXPECT_EQ(sw::InchesToPixels(0.0625f, 96), 6);
    EXPECT_EQ(sw::InchesToPixels(0.015625f, 96), 2); // 1.5 -> 2, half to even
    EXPECT_EQ(sw::InchesToPixels(0.046875f, 96), 4); // 4.5 -> 4, half to even
    EXPECT_EQ(sw::InchesToPixels(0.104f, 96), 10);
    EXPECT_EQ(sw::InchesToPixels(0.104f, 120), 12);
    EXPECT_EQ(sw::InchesToPixels(-0.015625f, 96), -2);
    EXPECT_FLOAT_EQ(sw::PixelsToInches(96, 96), 1.0f);
    EXPECT_FLOAT_EQ(sw::PixelsToInches(30, 120), 0.25f);
    EXPECT_EQ(sw::PixelsToInchesToString(96, 96), QStringLiteral("1.000"));
    EXPECT_EQ(sw::PixelsToInchesToString(10, 96), QStringLiteral("0.104"));
    EXPECT_EQ(sw::PixelsToInchesToString(1, 120), QStringLiteral("0.008"));
    EXPECT_EQ(sw::PixelsToInchesToString(0, 96), QStringLiteral("0.000"));
    EXPECT_EQ(sw::PixelsToInchesToString(-48, 96), QStringLiteral("-0.500"));
}

TEST(Conversions, FloatToDBFKeepsThreeDecimals)
{
    EXPECT_DOUBLE_EQ(sw::FloatToDBF(1.0004f), 1.0);
    EXPECT_DOUBLE_EQ(sw::FloatToDBF(2.6251f), 2.625);
    EXPECT_DOUBLE_EQ(sw::FloatToDBF(0.1875f), 0.188);
    EXPECT_DOUBLE_EQ(sw::FloatToDBF(-0.0001f), 0.0);
}

namespace {
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(Conversions, CommaLocaleLeavesFileNumbersWithAPoint)
{
    const QLocale savedQt;
    const std::locale savedStd;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::locale::global(std::locale(std::locale::classic(), new CommaPunct));

    EXPECT_EQ(sw::PixelsToInchesToString(150, 96), QStringLiteral("1.563"));
    EXPECT_EQ(sw::FormatFixed(2.625, 3), QStringLiteral("2.625"));
    bool ok = false;
    EXPECT_DOUBLE_EQ(sw::ParseDecimal(QStringLiteral("1.5"), &ok), 1.5);
    EXPECT_TRUE(ok);
    sw::ParseDecimal(QStringLiteral("1,5"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(sw::FloatToDBF(2.6251f), 2.625);
    // The user's locale is still in force elsewhere.
    EXPECT_EQ(QLocale().toString(1.5), QStringLiteral("1,5"));

    std::locale::global(savedStd);
    QLocale::setDefault(savedQt);
}

TEST(PositionSelectionTable, EveryPositionOfTheLargestSheetHasAFlag)
{
    sw::TPositionSelection sel;
    EXPECT_EQ(sw::TPositionSelection::kSize, 300);
    sel.SpecificPositionsOnly = true;
    sel.Set(299, true); // row 29, column 9 of a 10-across sheet
    EXPECT_TRUE(sel.Prints(29, 9, 10));
    EXPECT_FALSE(sel.Prints(0, 0, 10));
    EXPECT_FALSE(sel.IsSet(300));
    sel.ClearPositionSelection();
    EXPECT_FALSE(sel.SpecificPositionsOnly);
    EXPECT_FALSE(sel.IsSet(299));
    EXPECT_TRUE(sel.Prints(0, 0, 10)); // after clearing, a run prints every position
}

namespace {
// Answers every box without showing it, and remembers what was asked.
struct BoxRecorder {
    std::vector<sw::BoxRequest> asked;
    bool answer = true;
    BoxRecorder()
    {
        sw::SetBoxHook([this](const sw::BoxRequest& r) {
            asked.push_back(r);
            return answer;
        });
    }
    ~BoxRecorder() { sw::SetBoxHook({}); }
};

void Activate(TKLabelMain& w)
{
    w.show();
    QApplication::processEvents();
    w.FormActivate();
}
} // namespace

TEST(MainWindow, TriggerChangeIsSilentWhileLoading)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    Activate(w);
    ASSERT_FALSE(w.State().FirstActivation);
    w.State().LoadingLabel = true;
    w.TriggerChange();
    EXPECT_FALSE(w.ChangesPending());
    EXPECT_TRUE(w.SaveButton->isHidden());
    w.State().LoadingLabel = false;
    w.TriggerChange();
    EXPECT_TRUE(w.ChangesPending());
    EXPECT_FALSE(w.CancelButton->isHidden());
    EXPECT_FALSE(w.mnuSelectLabel->isEnabled());
    EXPECT_TRUE(w.ExitButton->isHidden());
    w.ShutOffSaveButtons();
    w.UpdateScreenStatus();
    EXPECT_TRUE(w.mnuSelectLabel->isEnabled());
}

TEST(MainWindow, TriggerChangeIsSilentDuringFirstActivation)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    ASSERT_TRUE(w.State().FirstActivation);
    w.TriggerChange();
    EXPECT_FALSE(w.ChangesPending());
}

TEST(MainWindow, ExitRefusedWithUnsavedChangesAndAskedOtherwise)
{
    BoxRecorder boxes;
    TTestDataDir data;
    TKLabelMain w(data.Path());
    Activate(w);
    w.TriggerChange();
    EXPECT_FALSE(w.close());
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].kind, sw::BoxKind::Information);
    EXPECT_EQ(boxes.asked[0].text, QStringLiteral("You must first save or cancel your changes"));
    EXPECT_EQ(boxes.asked[0].caption, QStringLiteral("Information"));

    w.ShutOffSaveButtons();
    boxes.asked.clear();
    boxes.answer = false;
    EXPECT_FALSE(w.close());
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].kind, sw::BoxKind::YesNo);
    EXPECT_EQ(boxes.asked[0].text, QStringLiteral("Exit program?"));
    EXPECT_EQ(boxes.asked[0].caption, QStringLiteral("Exit"));
    EXPECT_TRUE(w.isVisible());

    boxes.answer = true;
    EXPECT_TRUE(w.close());
}

TEST(MainWindow, ClosingBeforeTheFirstActivationAsksNothing)
{
    BoxRecorder boxes;
    TTestDataDir data;
    TKLabelMain w(data.Path());
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(boxes.asked.empty());
}

TEST(MessageBoxes, EnterAnswersNoWhenNoIsTheDefault)
{
    auto pressEnter = [] {
        QTimer::singleShot(50, [] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Return);
        });
    };
    pressEnter();
    EXPECT_FALSE(sw::AskYesNoDefaultNo(nullptr, QStringLiteral("Delete entire label?"),
                                       QStringLiteral("Delete")));
    pressEnter();
    EXPECT_TRUE(sw::AskYesNo(nullptr, QStringLiteral("Exit program?"), QStringLiteral("Exit")));
}

TEST(MainWindow, LayoutMenusAndTools)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    Activate(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Stickwell"));
    EXPECT_EQ(w.Panel1->height(), 49);
    EXPECT_EQ(w.Descript->maxLength(), 30);
    EXPECT_EQ(w.ToolsPanel->geometry(), QRect(380, 53, 161, 179));
    EXPECT_EQ(w.ToolsPanel->TitleCaption(), QStringLiteral("Tools"));
    EXPECT_EQ(w.LabelPanel->pos(), QPoint(17, 8));
    // No table yet: the design panel and the Tools are hidden.
    EXPECT_TRUE(w.LabelPanel->isHidden());
    EXPECT_TRUE(w.ToolsPanel->isHidden());

    QStringList file;
    for (QAction* a : w.mnuFile->actions())
        file << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(file, (QStringList{"&Select Label", "&New Label", "-", "&Rebuild Indexes", "-",
                                 "&Print Labels", "Pre&view Labels", "P&rinter Setup",
                                 "&Calibrate Printer...",
                                 "Select Specific &Labels", "-", "&Exit"}));
    QStringList grid;
    for (QAction* a : w.mnuGrid->actions())
        grid << a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(grid, (QStringList{"&No Snap to Grid*", "Snap to &2 x 2 Grid", "Snap to &4 x 4 Grid",
                                 "Snap to &8 x 8 Grid"}));
    QStringList top;
    for (QAction* a : w.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{"&File", "&Edit", "&View", "&Label", "&Grid", "&Help"}));

    const QRect tools[] = {w.ToolsPanel->DropTextButton->geometry(), w.ToolsPanel->PosLeftButton->geometry(),
                           w.ToolsPanel->PropertiesButton->geometry()};
    EXPECT_EQ(tools[0], QRect(16, 31, 23, 23));
    EXPECT_EQ(tools[1], QRect(118, 115, 23, 23));
    EXPECT_EQ(tools[2], QRect(16, 115, 25, 23));

    w.ToolsPanel->move(-500, -500);
    w.Panel1Click();
    EXPECT_EQ(w.ToolsPanel->pos(),
              QPoint(w.centralWidget()->width() - w.ToolsPanel->width() - 10, 60));
}

TEST(MainWindow, CenterOverMainWindowRoundsTowardZero)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    w.show();
    QApplication::processEvents();
    // The dialog's frame is taken to be as thick as the main window's.
    const QRect main = w.frameGeometry();
    const int frameWidth = main.width() - w.geometry().width();
    const int frameHeight = main.height() - w.geometry().height();
    QWidget dialog;
    dialog.resize(main.width() - frameWidth + 3, 101);
    w.CenterOverMainWindow(&dialog);
    EXPECT_EQ(dialog.x(), main.left() + (main.width() - (dialog.width() + frameWidth)) / 2);
    EXPECT_EQ(dialog.x(), main.left() - 1); // -3 / 2 is -1, not -2
    EXPECT_EQ(dialog.y(), main.top() + (main.height() - (101 + frameHeight)) / 2);
}

TEST(MainWindow, TheDescriptionRefusesWhatTheTableCannotHoldAsItIsTyped)
{
    BoxRecorder boxes;
    TTestDataDir data;
    TKLabelMain w(data.Path());
    Activate(w);
    for (const QChar c : QStringLiteral("ab\u2192c")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w.Descript, &press);
    }
    QApplication::processEvents();
    EXPECT_EQ(w.Descript->text(), QStringLiteral("abc"));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, sw::UnstorableMessage(QStringLiteral("\u2192")));
    // The window converts lengths at the design panel's resolution: one source for both.
    EXPECT_EQ(w.PixelsPerInch(), w.LabelPanel->Model().PixelsPerInch());
}

TEST(MainWindow, ViewMenuZoomsTheDesignPanelAndTheSurfaceFollows)
{
    TTestDataDir data;
    TKLabelMain w(data.Path());
    Activate(w);
    w.SetLabelPanelSize(300, 120);
    QStringList view;
    for (QAction* a : w.mnuView->actions())
        view << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? "*" : ""));
    EXPECT_EQ(view, (QStringList{"Zoom &In", "Zoom &Out", "&Actual Size", "&Fit Label", "-", "50 %", "75 %",
                                 "100 %*", "150 %", "200 %", "300 %", "400 %", "-", "&Field Names"}));
    const auto action = [&w](const char* name) { return w.mnuView->findChild<QAction*>(QLatin1String(name)); };
    const auto surface = [&w] { return w.ScrollSurface->size() - QSize(34, 16); };

    action("mnuZoomIn")->trigger();
    EXPECT_EQ(w.LabelPanel->size(), QSize(450, 180));
    EXPECT_EQ(surface(), QSize(450, 180));
    EXPECT_TRUE(action("mnuZoom150")->isChecked());
    EXPECT_FALSE(action("mnuZoom100")->isChecked());
    // The label itself keeps its size in label pixels.
    EXPECT_EQ(w.LabelPanel->Model().Width(), 300);

    // Ctrl+wheel over the surface: one notch is one step; without Ctrl it scrolls as ever.
    QWidget* viewport = w.ScrollBox1->viewport();
    const auto wheel = [viewport](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(40, 30), QPointF(viewport->mapToGlobal(QPoint(40, 30))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &e);
    };
    wheel(240, Qt::ControlModifier);
    EXPECT_EQ(w.LabelPanel->size(), QSize(900, 360));
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(w.LabelPanel->size(), QSize(900, 360));
    action("mnuZoom400")->trigger();
    EXPECT_FALSE(action("mnuZoomIn")->isEnabled());
    // Where the label is larger than the window, the label point under the wheel stays put
    // (across: this label is too low to scroll far enough downwards).
    w.ScrollBox1->horizontalScrollBar()->setValue(300);
    const QPoint mouse(200, 100);
    const auto under = [&w, viewport, mouse] {
        return QPointF(w.LabelPanel->mapFrom(viewport, mouse)) / w.LabelPanel->Zoom();
    };
    const QPointF before = under();
    QWheelEvent out(QPointF(mouse), QPointF(viewport->mapToGlobal(mouse)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &out);
    EXPECT_EQ(w.LabelPanel->Zoom(), 3.0);
    EXPECT_NEAR(under().x(), before.x(), 0.5);
    action("mnuZoom50")->trigger();
    EXPECT_EQ(surface(), QSize(150, 60));
    EXPECT_FALSE(action("mnuZoomOut")->isEnabled());

    // Fit Label: the largest whole percent at which the label fits beside its margins.
    action("mnuFitLabel")->trigger();
    const QSize room = w.ScrollBox1->maximumViewportSize() - QSize(34, 16);
    const QSize shown = w.LabelPanel->size();
    EXPECT_LE(shown.width(), room.width());
    EXPECT_LE(shown.height(), room.height());
    EXPECT_TRUE(shown.width() + 3 > room.width() || shown.height() + 2 > room.height()) << shown.width();
    for (QAction* a : w.mnuView->actions())
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();

    // A new label size is shown at the zoom in force.
    action("mnuZoom200")->trigger();
    w.SetLabelPanelSize(100, 50);
    EXPECT_EQ(surface(), QSize(200, 100));
    action("mnuActualSize")->trigger();
    EXPECT_EQ(w.LabelPanel->size(), QSize(100, 50));

    // A key sequence held twice is ambiguous and does nothing at all.
    QStringList keys;
    for (QAction* menu : w.menuBar()->actions())
        for (QAction* a : menu->menu()->actions())
            for (const QKeySequence& k : a->shortcuts())
                keys << k.toString();
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size()) << keys.join(' ').toStdString();
    EXPECT_TRUE(keys.contains("Ctrl++") && keys.contains("Ctrl+-") && keys.contains("Ctrl+0"));
}
