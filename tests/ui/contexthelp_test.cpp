// Control help: the help list with its redirects, the walk to a parent with help, the pop-up's
// size, place and closing, the "What's this?" menu and the pointer button's help mode.
#include "../common/HelpCheck.h"
#include "ui/ContextHelp.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWhatsThis>
#include <gtest/gtest.h>

namespace {

const QString kRepeatText = QStringLiteral("Enter the number of labels to print before increasing the counter number");

// A window like the counter dialog, with a group whose inner control has no help of its own,
// a disabled button with help, and a button without any help on a window part without help.
struct HelpWindow {
    QWidget window;
    QLabel* repeatLabel;
    QSpinBox* repeatFor;
    QLineEdit* edit;
    QGroupBox* group;
    QCheckBox* inner;
    QPushButton* disabled;
    QPushButton* plain;
    TODSHelp* help;
    int done = 0;

    HelpWindow()
    {
        window.setObjectName(QStringLiteral("GetCounter"));
        window.resize(400, 300);
        repeatLabel = new QLabel(QStringLiteral("Repeat for how many labels?"), &window);
        repeatLabel->setObjectName(QStringLiteral("RepeatForLabel"));
        repeatLabel->setGeometry(10, 10, 180, 20);
        repeatFor = new QSpinBox(&window);
        repeatFor->setObjectName(QStringLiteral("RepeatFor"));
        repeatFor->setGeometry(200, 10, 80, 24);
        edit = new QLineEdit(&window);
        edit->setObjectName(QStringLiteral("Edit"));
        edit->setGeometry(10, 40, 180, 24);
        group = new QGroupBox(QStringLiteral("Group"), &window);
        group->setObjectName(QStringLiteral("Group"));
        group->setGeometry(10, 80, 200, 80);
        inner = new QCheckBox(QStringLiteral("Inner"), group);
        inner->setGeometry(10, 30, 100, 20);
        disabled = new QPushButton(QStringLiteral("Disabled"), &window);
        disabled->setObjectName(QStringLiteral("DisabledButton"));
        disabled->setGeometry(10, 180, 100, 26);
        disabled->setEnabled(false);
        plain = new QPushButton(QStringLiteral("Plain"), &window);
        plain->setObjectName(QStringLiteral("PlainButton"));
        plain->setGeometry(120, 180, 100, 26);
        help = new TODSHelp(&window, {
            {QStringLiteral("Unused"), {}},
            {QStringLiteral("RepeatForLabel"), {QStringLiteral("->RepeatFor")}},
            {QStringLiteral("RepeatFor"), {kRepeatText}},
            {QStringLiteral("Edit"), {QStringLiteral("Type here"), 1011}},
            {QStringLiteral("Group"), {QStringLiteral("A group of choices")}},
            {QStringLiteral("DisabledButton"), {QStringLiteral("Not now")}},
        });
        QObject::connect(help, &TODSHelp::HelpDone, [this] { ++done; });
        window.show();
        QApplication::processEvents();
    }
    ~HelpWindow()
    {
        if (TODSHelpPopup* p = TODSHelpPopup::Existing())
            p->hide();
        if (help->InHelpMode())
            QTest::keyClick(&window, Qt::Key_Escape);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == QLatin1String("Stickwell Help"))
                delete w;
    }

    static bool PopupShows() { return TODSHelpPopup::Existing() && TODSHelpPopup::Existing()->isVisible(); }
    static QString PopupText() { return PopupShows() ? TODSHelpPopup::Existing()->Text() : QString(); }
    static QWidget* HelpWindowShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QLatin1String("Stickwell Help"))
                return w;
        return nullptr;
    }
};

} // namespace

TEST(ContextHelp, HelpListFollowsRedirectsAndSkipsEmptyEntries)
{
    HelpWindow f;
    ASSERT_NE(f.help->Find(QStringLiteral("RepeatForLabel")), nullptr);
    EXPECT_EQ(f.help->Find(QStringLiteral("RepeatForLabel"))->Text, kRepeatText);
    EXPECT_EQ(f.help->Find(QStringLiteral("Unused")), nullptr);
    EXPECT_EQ(f.help->Find(QStringLiteral("repeatfor")), nullptr); // names compare exactly
    // A circle of redirects ends with no help instead of running for ever.
    f.help->HelpText.append({QStringLiteral("A"), {QStringLiteral("->B")}});
    f.help->HelpText.append({QStringLiteral("B"), {QStringLiteral("->A")}});
    EXPECT_EQ(f.help->Find(QStringLiteral("A")), nullptr);
    EXPECT_EQ(TODSHelp::Of(f.inner), f.help);
}

TEST(ContextHelp, WhatsThisOnTheRepeatLabelShowsTheRepeatFieldsText)
{
    HelpWindow f;
    f.help->ShowControlHelp(f.repeatLabel);
    ASSERT_TRUE(HelpWindow::PopupShows());
    TODSHelpPopup* popup = TODSHelpPopup::Existing();
    EXPECT_EQ(popup->Text(), kRepeatText);
    EXPECT_EQ(popup->Color(), QColor(255, 255, 232));
    EXPECT_FALSE(popup->HasMore());
    // Placed at the label: half the text's width to its left (not past the screen's edge), 8 down.
    const QPoint at = f.repeatLabel->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(popup->geometry().top(), at.y() + 8);
    EXPECT_EQ(popup->geometry().left(), std::max(0, at.x() - popup->DrawingArea().width() / 2));
    EXPECT_EQ(f.done, 0);
    QTest::keyClick(popup, Qt::Key_A); // any key closes it
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_EQ(f.done, 1);
}

TEST(ContextHelp, ControlWithoutHelpShowsItsNearestParentsOrNothing)
{
    HelpWindow f;
    f.help->ShowControlHelp(f.inner);
    EXPECT_EQ(HelpWindow::PopupText(), QStringLiteral("A group of choices"));
    TODSHelpPopup::Existing()->hide();
    const int doneAfterClose = f.done;
    f.help->ShowControlHelp(f.plain);
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_EQ(f.done, doneAfterClose + 1);
    f.help->ShowControlHelp(nullptr);
    EXPECT_EQ(f.done, doneAfterClose + 2);
    EXPECT_TRUE(TODSHelp::HasHelp(f.inner));
    EXPECT_FALSE(TODSHelp::HasHelp(f.plain));
}

TEST(ContextHelp, LongTextWrapsAtMaxWidthShortTextIsNarrow)
{
    HelpWindow f;
    const QRect target(100, 100, 50, 20);
    TODSHelpPopup* popup = TODSHelpPopup::Instance();
    popup->ShowText(*f.help, QStringLiteral("Short"), 0, target);
    const QRect shortArea = popup->DrawingArea();
    const int oneLine = shortArea.height();
    EXPECT_LT(shortArea.width(), 100);
    EXPECT_EQ(popup->size(), shortArea.size() + QSize(6, 6)); // room for the shadow
    popup->ShowText(*f.help, QString(QStringLiteral("many words in a long help text ")).repeated(12), 0, target);
    const QRect longArea = popup->DrawingArea();
    EXPECT_LE(longArea.width(), 300 + 16);
    EXPECT_GT(longArea.width(), 250);
    EXPECT_GT(longArea.height(), 3 * (oneLine - 10));
}

TEST(ContextHelp, PopupIsPulledBackInsideTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize size(206, 46);
    // A control at the right edge: the pop-up's right edge stands 10 pixels inside the screen.
    const QPoint right = TODSHelpPopup::Place(size, 200, QRect(1000, 300, 20, 20), screen);
    EXPECT_EQ(right.x() + size.width(), 1024 - 10);
    EXPECT_EQ(right.y(), 308);
    // At the left edge it starts at 0; at the bottom it rises to 10 pixels above the edge.
    const QPoint left = TODSHelpPopup::Place(size, 200, QRect(30, 750, 20, 15), screen);
    EXPECT_EQ(left.x(), 0);
    EXPECT_EQ(left.y() + size.height(), 768 - 10);
    const QPoint middle = TODSHelpPopup::Place(size, 200, QRect(500, 300, 20, 20), screen);
    EXPECT_EQ(middle, QPoint(400, 308));
}

TEST(ContextHelp, TopicAddsTheMoreLineWhichF1AndAClickOpen)
{
    HelpWindow f;
    f.help->ShowControlHelp(f.edit);
    TODSHelpPopup* popup = TODSHelpPopup::Existing();
    ASSERT_TRUE(HelpWindow::PopupShows());
    EXPECT_TRUE(popup->HasMore());
    EXPECT_EQ(popup->Topic(), 1011);
    ASSERT_FALSE(popup->MoreRect().isEmpty());
    EXPECT_TRUE(popup->DrawingArea().contains(popup->MoreRect()));
    // A right click does nothing; a left click outside the more-text only closes.
    QTest::mouseClick(popup, Qt::RightButton, {}, popup->MoreRect().center());
    EXPECT_TRUE(HelpWindow::PopupShows());
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_EQ(HelpWindow::HelpWindowShown(), nullptr);

    f.help->ShowControlHelp(f.edit);
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->MoreRect().center());
    EXPECT_FALSE(HelpWindow::PopupShows());
    QWidget* shown = HelpWindow::HelpWindowShown();
    ASSERT_NE(shown, nullptr);
    delete shown;

    f.help->ShowControlHelp(f.edit);
    QTest::keyClick(popup, Qt::Key_F1);
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_NE(HelpWindow::HelpWindowShown(), nullptr);
}

TEST(ContextHelp, WithoutATopicF1OnlyCloses)
{
    HelpWindow f;
    f.help->ShowControlHelp(f.repeatFor);
    TODSHelpPopup* popup = TODSHelpPopup::Existing();
    ASSERT_TRUE(HelpWindow::PopupShows());
    EXPECT_FALSE(popup->HasMore());
    EXPECT_TRUE(popup->MoreRect().isEmpty());
    QTest::keyClick(popup, Qt::Key_F1);
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_EQ(HelpWindow::HelpWindowShown(), nullptr);
}

TEST(ContextHelp, EscapeLeavesHelpModeAndTheFocusReturns)
{
    HelpWindow f;
    f.window.activateWindow();
    f.edit->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), f.edit);
    f.help->StartHelpMode();
    EXPECT_TRUE(f.help->InHelpMode());
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    // Keys other than Escape do nothing, not even type.
    QTest::keyClick(f.edit, Qt::Key_X);
    EXPECT_TRUE(f.help->InHelpMode());
    EXPECT_TRUE(f.edit->text().isEmpty());
    QTest::keyClick(f.edit, Qt::Key_Escape);
    EXPECT_FALSE(f.help->InHelpMode());
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(QApplication::focusWidget(), f.edit);
}

TEST(ContextHelp, HelpModeClickShowsTheHelpOfTheControlUnderTheMouse)
{
    HelpWindow f;
    f.help->StartHelpMode();
    QTest::mouseClick(f.repeatLabel, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(f.help->InHelpMode());
    EXPECT_EQ(HelpWindow::PopupText(), kRepeatText);
    TODSHelpPopup::Existing()->hide();

    // Disabled controls answer too; a control without help ends the mode with nothing shown.
    f.help->StartHelpMode();
    QTest::mouseClick(f.disabled, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(HelpWindow::PopupText(), QStringLiteral("Not now"));
    TODSHelpPopup::Existing()->hide();
    const int done = f.done;
    bool clicked = false;
    QObject::connect(f.plain, &QPushButton::clicked, [&clicked] { clicked = true; });
    f.help->StartHelpMode();
    QTest::mouseClick(f.plain, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(f.help->InHelpMode());
    EXPECT_FALSE(HelpWindow::PopupShows());
    EXPECT_FALSE(clicked); // the click only asked for help
    EXPECT_EQ(f.done, done + 1);
}

TEST(ContextHelp, LosingTheFocusLeavesHelpMode)
{
    HelpWindow f;
    f.window.activateWindow();
    QApplication::processEvents();
    f.help->StartHelpMode();
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(f.help->InHelpMode());
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(f.done, 1);
}

TEST(ContextHelp, ContextMenuOffersWhatsThisOnControlsWithHelp)
{
    HelpWindow f;
    // The menu's "What's this?" on the redirecting label.
    EXPECT_EQ(RightClickMenu(f.repeatLabel, {5, 5}, true), QStringList{QStringLiteral("What's this?")});
    EXPECT_EQ(HelpWindow::PopupText(), kRepeatText);
    TODSHelpPopup::Existing()->hide();

    // A text field keeps its editing entries and gains "What's this?" at the end.
    const QStringList entries = RightClickMenu(f.edit, {5, 5}, false);
    ASSERT_GT(entries.size(), 2);
    EXPECT_EQ(entries.last(), QStringLiteral("What's this?"));
    EXPECT_FALSE(HelpWindow::PopupShows());

    // Without help anywhere up the chain the control's own menu handling stays untouched.
    EXPECT_TRUE(RightClickMenu(f.plain, {5, 5}, false).isEmpty());
}
