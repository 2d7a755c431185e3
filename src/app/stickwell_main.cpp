// Stickwell: a label designer and label-sheet printer.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/Splash.h"
#include "library/DataDirectory.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <memory>

int main(int argc, char** argv)
{
    TStickwellApplication app(argc, argv);
    sw::library::SetUpResourceSearchPath(QCoreApplication::applicationDirPath());
    QApplication::setApplicationName(QStringLiteral("Stickwell"));
    // The windows were laid out for an 8-point sans serif.
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/stickwell.svg")));

    auto splash = std::make_unique<TSplashform>();
    splash->show();
    app.processEvents();

    TKLabelMain window;
    splash->hide();
    splash.reset();

    window.show();
    return app.exec();
}
