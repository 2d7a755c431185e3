#include "ui/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace sw {

void ShowBusyCursor(bool busy)
{
    if (!QGuiApplication::instance())
        return;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace sw
