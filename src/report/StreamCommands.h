#pragma once
#include <QString>
#include <QStringList>

namespace sw {
// stickwell-batch stream-dump | stream-render | stream-pdf. Returns the exit code.
int RunStreamCommand(const QString& command, const QStringList& args);
}
