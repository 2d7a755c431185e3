#pragma once
#include <QStringList>

namespace sw {
// stickwell-batch print: sheets of one label of a label table, without a window. Returns the
// exit code (0 printed, 1 a problem named on stderr, 2 bad usage).
int RunPrintCommand(const QStringList& args);
}
