// The design panel's outline and the splash/About box.
#include "app/Splash.h"
#include "designer/CanvasPanel.h"
#include "model/LabelShape.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(LabelOutline, RoundCornersFollowTheLargerSide)
{
    EXPECT_EQ(sw::LabelCornerSize(300, 120), 50);
    EXPECT_EQ(sw::LabelCornerSize(90, 300), 50);
    EXPECT_EQ(sw::LabelCornerSize(5, 5), 0);
    EXPECT_EQ(sw::ShapeFromCode(QStringLiteral("rr")), lsRoundRect);
    EXPECT_EQ(sw::ShapeFromCode(QStringLiteral("SR")), lsRectangle);
    EXPECT_EQ(sw::ShapeFromCode(QStringLiteral("re")), lsEllipse);
    EXPECT_EQ(sw::CodeFromShape(lsEllipse), QStringLiteral("RE"));
}

TEST(LabelOutline, PanelPaintsGreyCornersWhiteInsideBlackEdge)
{
    TCanvasPanel panel;
    panel.resize(300, 120);
    QImage shot = panel.grab().toImage();
    // Round rectangle: the very corner is outside the outline.
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(128, 128, 128));
    EXPECT_EQ(shot.pixelColor(150, 60), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(150, 0), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(150, 119), QColor(Qt::black));

    panel.SetShape(lsRectangle);
    shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(299, 119), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(Qt::white));

    panel.SetShape(lsEllipse);
    shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(128, 128, 128));
    EXPECT_EQ(shot.pixelColor(150, 60), QColor(Qt::white));
}

TEST(Splash, OkButtonOnlyInTheAboutBox)
{
    TSplashform splash;
    EXPECT_EQ(splash.size(), QSize(353, 233));
    EXPECT_TRUE(splash.OkButton->isHidden());
    EXPECT_EQ(splash.Title->text(), QStringLiteral("Stickwell"));
    EXPECT_EQ(splash.VersionLine->text(), QStringLiteral("Version 1.8d"));
    EXPECT_EQ(splash.PlatformLine->text(), QStringLiteral("for Linux desktops"));
    splash.ShowOkButton();
    EXPECT_FALSE(splash.OkButton->isHidden());
    EXPECT_EQ(splash.OkButton->text(), QStringLiteral("Ok"));
}
