#include "app/Splash.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

TSplashform::TSplashform(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("Splashform"));
    setFixedSize(353, 233);

    Title = new QLabel(QStringLiteral("Stickwell"), this);
    QFont big(QStringLiteral("Liberation Serif"));
    big.setPixelSize(44);
    big.setBold(true);
    big.setItalic(true);
    Title->setFont(big);
    Title->setAlignment(Qt::AlignCenter);
    Title->setGeometry(0, 40, 353, 64);

    VersionLine = new QLabel(QStringLiteral("Version 1.8d"), this);
    VersionLine->setAlignment(Qt::AlignCenter);
    VersionLine->setGeometry(0, 112, 353, 20);

    PlatformLine = new QLabel(QStringLiteral("for Linux desktops"), this);
    PlatformLine->setAlignment(Qt::AlignCenter);
    PlatformLine->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    PlatformLine->setGeometry(0, 136, 353, 20);
    PlatformLine->setVisible(true);

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setGeometry(139, 190, 75, 25);
    OkButton->setDefault(true);
    OkButton->hide();
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TSplashform::ShowOkButton()
{
    OkButton->show();
}

void TSplashform::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(200, 210, 230));
    p.fillRect(rect(), g);
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
    // A strip of three little labels as the picture under the title.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(96.5 + i * 56, 14.5, 48, 22), 5, 5);
}
