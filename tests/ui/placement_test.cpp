// Where dialogs open: centred over the main window by their laid-out size, inside the screen.
#include "ui/DialogPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using sw::CenteredFrame;

TEST(DialogPlacement, CentredFrameRoundsTowardZeroAndStaysOnTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    // 602 - 301 = 301: half of it is 150 (toward zero).
    EXPECT_EQ(CenteredFrame(QRect(100, 50, 602, 500), QSize(301, 201), screen), QRect(250, 199, 301, 201));
    // A dialog wider than the window: (200 - 301) / 2 = -50, not -51.
    EXPECT_EQ(CenteredFrame(QRect(400, 300, 200, 100), QSize(301, 101), screen).topLeft(), QPoint(350, 300));
    // Near the screen's edges the dialog is pushed inside.
    EXPECT_EQ(CenteredFrame(QRect(800, 600, 200, 150), QSize(400, 300), screen), QRect(624, 468, 400, 300));
    EXPECT_EQ(CenteredFrame(QRect(-300, -100, 200, 150), QSize(400, 300), screen).topLeft(), QPoint(0, 0));
    // A dialog larger than the available area is shrunk to it.
    EXPECT_EQ(CenteredFrame(QRect(0, 0, 602, 500), QSize(1100, 700), QRect(0, 24, 1024, 744)),
              QRect(0, 24, 1024, 700));
}

// The dialog is placed before it is laid out and shown, as the item commands do; it must open
// centred by the size its layout gives it, not by the size of an empty widget.
TEST(DialogPlacement, DialogOpensCentredByItsLaidOutSize)
{
    QWidget main;
    main.setGeometry(60, 40, 500, 400);
    main.show();
    QDialog dialog(&main);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(QStringLiteral("A dialog whose layout makes it wide and tall"));
    text->setMinimumSize(300, 200);
    layout->addWidget(text);
    sw::CenterOverWindow(&dialog, &main);
    QRect shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.frameGeometry();
        dialog.accept();
    });
    dialog.exec();
    ASSERT_GE(shown.width(), 300);
    ASSERT_GE(shown.height(), 200);
    const QRect m = main.frameGeometry();
    EXPECT_EQ(shown.left(), m.left() + (m.width() - shown.width()) / 2);
    EXPECT_EQ(shown.top(), m.top() + (m.height() - shown.height()) / 2);
    EXPECT_TRUE(main.screen()->availableGeometry().contains(shown));
}
