#pragma once
#include <QString>
#include <QStringList>

namespace sw {
// stickwell-batch items | render. Returns the exit code.
int RunItemsCommand(const QString& command, const QStringList& args);
}
