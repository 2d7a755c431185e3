#include "app/Application.h"

#include "ui/MessageBoxes.h"

#include <exception>

bool TStickwellApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        sw::ShowInformation(activeWindow(), QStringLiteral("Unable to complete the command: %1")
                                                .arg(QString::fromStdString(e.what())));
    }
    return false;
}
